// Reads how a paragraph of the story looks: its runs with their formatting,
// its style and heading level, its place in tables, and where its pictures
// stand. It follows the story's own counting of characters.
#pragma once

#include "host/docx/story.h"
#include "host/docx/style_sheet.h"
#include "host/word/paragraph_look.h"

namespace veln::host::docx {

ParagraphLook ReadLook(const Story& story, const Paragraph& paragraph, const StyleSheet& styles);

}  // namespace veln::host::docx
