// Reads how a paragraph of the story looks: its runs with their formatting,
// its style and heading level, its place in tables, and where its pictures
// stand. It follows the story's own counting of characters.
#pragma once

#include "host/docx/list_numbering.h"
#include "host/docx/story.h"
#include "host/docx/style_sheet.h"
#include "host/word/paragraph_look.h"

namespace veln::host::docx {

// What a paragraph's own properties and its style say of it.
ParagraphProperties PropertiesOf(const Wml& names, const Paragraph& paragraph,
                                 const StyleSheet& styles);

// listLabel: what the numbering gave the paragraph when the document was
// counted through, "" for none.
ParagraphLook ReadLook(const Story& story, const Paragraph& paragraph, const StyleSheet& styles,
                       const ListNumbering& numbering, const std::string& listLabel);

}  // namespace veln::host::docx
