// What the simulated instrument answers to each request, independent of the line.
#pragma once

#include "cell_model.h"
#include "parameters.h"
#include "reply_script.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tevran::sim {

// One piece of output, to be sent `after` the arrival of the request's CR.
struct Emission {
    std::chrono::milliseconds after{0};
    std::string bytes;

    bool operator==(const Emission&) const = default;
};

// Everything sent in response to one request; empty means no answer.
// A list rather than a single string so that answers can later be split,
// delayed per piece or otherwise disturbed without changing the callers.
using Answer = std::vector<Emission>;

// Where measurement answers come from.
struct FixedReply {
    std::string text; // sent for every measurement request (CR is added)
};
using MeasurementSource = std::variant<CellModel, FixedReply, ReplyScript>;

class Responder {
public:
    Responder(MeasurementSource source, ParameterStore parameters,
              std::chrono::milliseconds delay = std::chrono::milliseconds{0});

    // Answer to one request (the bytes before its CR, LF already removed).
    // Measurement requests ("u6") are counted; each answer is the text
    // followed by CR, due `delay` after the request.
    Answer answer(std::string_view request);

    // Number of measurement requests seen so far.
    std::size_t measurement_requests() const { return measurements_; }

    const ParameterStore& parameters() const { return parameters_; }

private:
    std::optional<std::string> measurement_text(std::size_t index);

    MeasurementSource source_;
    ParameterStore parameters_;
    std::chrono::milliseconds delay_;
    std::size_t measurements_ = 0;
};

} // namespace tevran::sim
