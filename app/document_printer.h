// Puts a document's main story on pages, a printer's or a PDF file's, of the
// document's page size and margins: its paragraphs and table rows laid out
// as the view lays them out; a paragraph that does not fit goes on at the
// top of the next page, broken between lines, a row goes whole to the next.
#pragma once

#include <QFont>

#include "host/word/document.h"

class QPainter;
class QPrinter;

namespace veln::desktop {

class DocumentPrinter {
  public:
    // font: the body text's at its actual size.
    DocumentPrinter(host::Document& document, const QFont& font);

    // False when the printer could not start (a PDF file that cannot be
    // written); nothing is then printed.
    bool Print(QPrinter& printer);
    int PagesPrinted() const { return pages_; }

  private:
    void PrintParagraph(QPainter& painter, QPrinter& printer, const host::ParagraphLook& look);
    // Prints the row of a table that starts at index; the index after it.
    long PrintRow(QPainter& painter, QPrinter& printer, long index);
    void NewPage(QPrinter& printer);

    host::Document& document_;
    QFont font_;
    qreal pageWidth_ = 0;  // the text's, in the layout's pixels
    qreal pageHeight_ = 0;
    qreal y_ = 0;  // where the next line goes on the page
    int pages_ = 0;
};

}  // namespace veln::desktop
