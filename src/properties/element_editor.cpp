#include "properties/element_editor.h"

#include <memory>

#include "database/doc_variables.h"
#include "elements/elements.h"
#include "elements/frm_list_elem.h"
#include "properties/frm_elem_properties.h"

namespace veln::Properties {

void ShowElementEditor(Context& context, bool modal) {
    context.ui.Show(std::make_shared<frmElemProperties>(context), modal);
}

void ShowElementList(Context& context) {
    auto list = std::make_shared<frmListElem>(context);
    list->OpenElementEditor = [](Context& over) { ShowElementEditor(over, true); };
    context.ui.Show(list, true);
}

void EditCurrentElement(Context& context) {
    if (utilElements::GetDocId(context).empty()) {
        return;
    }
    if (Elements::CurrentElementId(context).empty()) {
        std::int16_t level = 1;
        if (!Elements::CreateElement(context, level)) {
            return;
        }
    }
    ShowElementEditor(context, false);
}

}  // namespace veln::Properties
