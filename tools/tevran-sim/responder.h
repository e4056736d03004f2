// What the simulated instrument answers to each request, independent of the line.
#pragma once

#include "answer.h"
#include "cell_model.h"
#include "fault_plan.h"
#include "parameters.h"
#include "reply_script.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tevran::sim {

// Where measurement answers come from.
struct FixedReply {
    std::string text; // sent for every measurement request (CR is added)
};
using MeasurementSource = std::variant<CellModel, FixedReply, ReplyScript>;

class Responder {
public:
    Responder(MeasurementSource source, ParameterStore parameters,
              std::chrono::milliseconds delay = std::chrono::milliseconds{0},
              FaultPlan faults = {}, std::uint64_t seed = 1);

    // Answer to one request (the bytes before its CR, LF already removed).
    // Measurement requests ("u6") are counted; each answer is the text
    // followed by CR, due `delay` after the request, unless the fault plan disturbs it.
    Answer answer(std::string_view request);

    // Number of measurement requests seen so far.
    std::size_t measurement_requests() const { return measurements_; }

    const ParameterStore& parameters() const { return parameters_; }

private:
    std::optional<std::string> measurement_text(std::size_t index);

    MeasurementSource source_;
    ParameterStore parameters_;
    std::chrono::milliseconds delay_;
    FaultPlan faults_;
    std::uint64_t seed_;
    std::size_t measurements_ = 0;
};

} // namespace tevran::sim
