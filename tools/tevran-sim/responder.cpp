#include "responder.h"

#include <utility>

namespace tevran::sim {

Responder::Responder(MeasurementSource source, ParameterStore parameters,
                     std::chrono::milliseconds delay, FaultPlan faults, std::uint64_t seed)
    : source_(std::move(source))
    , parameters_(parameters)
    , delay_(delay)
    , faults_(std::move(faults))
    , seed_(seed)
{
}

std::optional<std::string> Responder::measurement_text(std::size_t index)
{
    if (auto* model = std::get_if<CellModel>(&source_))
        return format_measurement(model->next());
    if (auto* fixed = std::get_if<FixedReply>(&source_))
        return fixed->text;
    return std::get<ReplyScript>(source_).reply(index);
}

Answer Responder::answer(std::string_view request)
{
    std::optional<std::string> text;
    if (request == "u6") {
        text = measurement_text(measurements_++);
        if (const auto fault = faults_.fault_for(measurements_))
            return disturb(*fault, text, delay_, seed_, measurements_);
    } else {
        text = parameters_.answer(request);
    }

    if (!text)
        return {};
    return {Emission{delay_, *text + '\r'}};
}

} // namespace tevran::sim
