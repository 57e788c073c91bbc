#include "every_form.h"

#include "database/frm_list_docs.h"
#include "elements/frm_list_elem.h"
#include "properties/frm_add_property.h"
#include "properties/frm_del_property.h"
#include "properties/frm_elem_properties.h"
#include "properties/frm_modify_property.h"
#include "settings/frm_language.h"
#include "settings/frm_splash.h"
#include "traceability/frm_link_elem.h"
#include "traceability/frm_list_elem_prop.h"
#include "traceability/frm_matrix.h"
#include "traceability/frm_tree.h"
#include "tracking/frm_coverage.h"
#include "tracking/frm_review_links.h"

namespace veln::test {

std::vector<FormScene> EveryForm(Context& context) {
    auto link = std::make_shared<frmLinkElem>(context);
    auto tree = std::make_shared<FrmTree>(context);
    auto matrix = std::make_shared<frmMatrix>(context);
    auto list = std::make_shared<frmListElemProp>(context);
    auto modify = std::make_shared<frmModifyProperty>(context);
    auto coverage = std::make_shared<frmCoverage>(context);
    auto editor = std::make_shared<frmElemProperties>(context);
    return {
        {std::make_shared<frmSplash>(context), {}},
        {std::make_shared<frmLanguage>(context), {}},
        {std::make_shared<frmListElem>(context), {}},
        {std::make_shared<frmListDocs>(context), {}},
        {editor,
         [editor, &context] {
             // As an element with two suspect links shows it.
             editor->LabelSuspectLinks.Visible = true;
             editor->LabelSuspectLinks.Caption =
                 context.LoadText(StringId::ELEMENT_SUSPECT_LINKS) +
                 " 1.1.0.0 Stop on dry asphalt; 1.2.0.0 Stop on wet asphalt";
         }},
        {std::make_shared<frmAddProperty>(context), {}},
        {modify, [modify] { modify->ComboBoxProperties.Select(1); }},
        {std::make_shared<frmDelProperty>(context), {}},
        {link,
         [link] {
             link->ComboBoxSource.Select(0);
             link->ComboBoxTarget.Select(1);
             link->ListBoxElementsSource.Select({0});
         }},
        {matrix,
         [matrix] {
             matrix->ComboBoxSource.Select(0);
             matrix->ComboBoxTarget.Select(1);
         }},
        {list, [list] { list->ComboBoxSource.Select(0); }},
        {tree,
         [tree] {
             tree->ComboBoxRoot.Select(0);
             tree->ComboBoxTree.Select(1);
         }},
        {std::make_shared<frmReviewLinks>(context), {}},
        {coverage,
         [coverage] {
             coverage->ComboBoxSource.Select(0);
             coverage->ComboBoxTarget.Select(1);
         }},
    };
}

}  // namespace veln::test
