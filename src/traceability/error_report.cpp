#include "traceability/error_report.h"

#include "host/ui/ui.h"

namespace veln {

void ReportError(CoreContext& context, long number, const std::string& description) {
    context.ui.MsgBox("Error number " + std::to_string(number) + ": " + description,
                      host::MsgBoxStyle::vbCritical);
}

}  // namespace veln
