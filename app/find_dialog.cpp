#include "find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "desktop_texts.h"
#include "document_view.h"

namespace veln::desktop {

FindDialog::FindDialog(DocumentView& view, bool french, QWidget* parent)
    : QDialog(parent), view_(view), french_(french) {
    setWindowTitle(Tr(Text::FindAndReplace, french));
    setModal(false);
    find_ = new QLineEdit(this);
    replace_ = new QLineEdit(this);
    matchCase_ = new QCheckBox(Tr(Text::MatchCase, french), this);
    wholeWords_ = new QCheckBox(Tr(Text::WholeWords, french), this);
    status_ = new QLabel(this);
    auto* next = new QPushButton(Tr(Text::FindNext, french), this);
    auto* previous = new QPushButton(Tr(Text::FindPrevious, french), this);
    auto* replace = new QPushButton(Tr(Text::Replace, french), this);
    auto* replaceAll = new QPushButton(Tr(Text::ReplaceAll, french), this);
    // Its mnemonic is Match case's: Escape closes too.
    auto* close = new QPushButton(Tr(Text::Close, french).remove(QLatin1Char('&')), this);
    next->setDefault(true);

    auto* findLabel = new QLabel(Tr(Text::FindPrompt, french), this);
    findLabel->setBuddy(find_);
    auto* replaceLabel = new QLabel(Tr(Text::ReplaceWith, french), this);
    replaceLabel->setBuddy(replace_);
    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(find_, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(replace_, 1, 1);
    grid->addWidget(previous, 1, 2);
    grid->addWidget(matchCase_, 2, 1);
    grid->addWidget(replace, 2, 2);
    grid->addWidget(wholeWords_, 3, 1);
    grid->addWidget(replaceAll, 3, 2);
    grid->addWidget(status_, 4, 0, 1, 2);
    grid->addWidget(close, 4, 2);
    grid->setColumnMinimumWidth(1, 260);

    connect(next, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(previous, &QPushButton::clicked, this, [this] { FindPrevious(); });
    connect(replace, &QPushButton::clicked, this, [this] { Replace(); });
    connect(replaceAll, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void FindDialog::Open(bool replace) {
    show();
    raise();
    activateWindow();
    QLineEdit* field = replace && !find_->text().isEmpty() ? replace_ : find_;
    field->setFocus();
    field->selectAll();
}

QString FindDialog::Status() const {
    return status_->text();
}

TextSearch FindDialog::Search() const {
    return TextSearch(find_->text().toStdString(),
                      {matchCase_->isChecked(), wholeWords_->isChecked()});
}

std::u32string FindDialog::Story() const {
    host::Document& document = view_.Model();
    return TextSearch::Decode(document.TextOf(0, document.StoryEnd()));
}

void FindDialog::Report(const QString& message) {
    status_->setText(message);
    emit Reported(message);
}

bool FindDialog::Go(bool backward) {
    TextSearch search = Search();
    if (search.Empty()) {
        Open(false);
        return false;
    }
    const long start = std::min(view_.Anchor(), view_.Caret());
    const long end = std::max(view_.Anchor(), view_.Caret());
    std::u32string story = Story();
    auto found = backward ? search.Previous(story, start) : search.Next(story, end);
    if (!found) {
        Report(Tr(Text::NotFound, french_).arg(find_->text()));
        return false;
    }
    status_->clear();
    view_.Select(found->first, found->second);
    return true;
}

bool FindDialog::FindNext() {
    return Go(false);
}

bool FindDialog::FindPrevious() {
    return Go(true);
}

bool FindDialog::Replace() {
    TextSearch search = Search();
    const long start = std::min(view_.Anchor(), view_.Caret());
    const long end = std::max(view_.Anchor(), view_.Caret());
    if (!search.Empty() && search.Matches(Story(), start, end) &&
        !view_.ReplaceRanges({{start, end}}, replace_->text().toStdString())) {
        return false;
    }
    return FindNext();
}

int FindDialog::ReplaceAll() {
    TextSearch search = Search();
    if (search.Empty()) {
        Open(false);
        return 0;
    }
    std::vector<std::pair<long, long>> matches = search.All(Story());
    if (matches.empty()) {
        Report(Tr(Text::NotFound, french_).arg(find_->text()));
        return 0;
    }
    if (!view_.ReplaceRanges(matches, replace_->text().toStdString())) {
        return 0;
    }
    const int count = static_cast<int>(matches.size());
    Report(Tr(Text::Replaced, french_).arg(count));
    return count;
}

}  // namespace veln::desktop
