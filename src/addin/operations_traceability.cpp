// The operations of links and traceability outputs: the link dialog, the
// links tree with its export, the review of suspect links and coverage.
#include <memory>

#include "addin/operations.h"
#include "traceability/frm_link_elem.h"
#include "traceability/frm_tree.h"
#include "tracking/frm_coverage.h"
#include "tracking/frm_review_links.h"

namespace veln::addin {

std::vector<Operation> TraceabilityOperations() {
    return {
        Entry("frmLinkElem", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmLinkElem>(c), true); }),
        Entry("FrmTree", "", [](Context& c) { c.ui.Show(std::make_shared<FrmTree>(c), true); }),
        Entry("frmReviewLinks", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmReviewLinks>(c), true); }),
        Entry("frmCoverage", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmCoverage>(c), true); }),
    };
}

}  // namespace veln::addin
