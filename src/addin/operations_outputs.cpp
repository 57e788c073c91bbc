// The operations of the traceability outputs: the matrix and the list of
// elements and property values.
#include <memory>

#include "addin/operations.h"
#include "traceability/frm_list_elem_prop.h"
#include "traceability/frm_matrix.h"

namespace veln::addin {

std::vector<Operation> OutputOperations() {
    return {
        Entry("frmMatrix", "", [](Context& c) { c.ui.Show(std::make_shared<frmMatrix>(c), true); }),
        Entry("frmListElemProp", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmListElemProp>(c), true); }),
    };
}

}  // namespace veln::addin
