// The operations of properties: the three definition windows, the element
// editor and the element list whose Edit button opens it.
#include <memory>

#include "addin/operations.h"
#include "properties/element_editor.h"
#include "properties/frm_add_property.h"
#include "properties/frm_del_property.h"
#include "properties/frm_modify_property.h"
#include "properties/property_definitions.h"

namespace veln::addin {

std::vector<Operation> PropertyOperations() {
    return {
        Entry("frmAddProperty", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmAddProperty>(c), true); }),
        Entry("frmDelProperty", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmDelProperty>(c), true); }),
        Entry("frmModifyProperty", "",
              [](Context& c) { c.ui.Show(std::make_shared<frmModifyProperty>(c), true); }),
        Entry("CountProperties", "", [](Context& c) { return Properties::CountProperties(c); }),
        Entry("frmElemProperties", "", [](Context& c) { Properties::ShowElementEditor(c, false); }),
        Entry("EditCurrentElement", "", Properties::EditCurrentElement),
        // The list's Edit opens the editor over it.
        Entry("frmListElem", "", Properties::ShowElementList),
    };
}

}  // namespace veln::addin
