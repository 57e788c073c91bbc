#include "host/docx/field_hyperlinks.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace veln::host::docx {

namespace {

// The words of a field instruction: blanks separate them, double quotes
// hold blanks, a backslash before a quote or a backslash keeps it.
std::vector<std::string> InstructionWords(std::string_view instruction) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < instruction.size()) {
        while (i < instruction.size() && std::isspace(static_cast<unsigned char>(instruction[i]))) {
            ++i;
        }
        if (i == instruction.size()) {
            break;
        }
        std::string word;
        if (instruction[i] == '"') {
            for (++i; i < instruction.size() && instruction[i] != '"'; ++i) {
                if (instruction[i] == '\\' && i + 1 < instruction.size() &&
                    (instruction[i + 1] == '"' || instruction[i + 1] == '\\')) {
                    ++i;
                }
                word += instruction[i];
            }
            ++i;  // the closing quote
        } else {
            while (i < instruction.size() &&
                   !std::isspace(static_cast<unsigned char>(instruction[i]))) {
                word += instruction[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

bool IsHyperlinkKeyword(const std::string& word) {
    std::string upper;
    for (char c : word) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper == "HYPERLINK";
}

// A field open in the paragraph: its instruction until its result begins.
struct OpenField {
    std::string instruction;
    bool inResult = false;
    std::optional<FieldHyperlink> link;
};

class FieldWalk {
  public:
    FieldWalk(const Wml& n, FieldHyperlinkRuns& runs)
        : n_(n),
          runs_(runs),
          fldChar_(n.W("fldChar")),
          instrText_(n.W("instrText")),
          type_(n.W("fldCharType")) {}

    void Walk(pugi::xml_node parent, int depth) {
        if (depth > MAX_DEPTH) {
            return;
        }
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            if (n_.TagOf(child) == Tag::r) {
                Run(child);
            } else if (n_.TagOf(child) != Tag::pPr) {
                Walk(child, depth + 1);
            }
        }
    }

  private:
    static constexpr int MAX_DEPTH = 32;

    void Run(pugi::xml_node run) {
        for (pugi::xml_node child : run.children()) {
            std::string_view name = child.name();
            if (name == fldChar_) {
                Character(child.attribute(type_.c_str()).value());
            } else if (name == instrText_ && !open_.empty() && !open_.back().inResult) {
                open_.back().instruction += child.child_value();
            }
        }
        // The innermost field showing its result decides; a field inside a
        // link's result (a page number) leaves the run to the link.
        auto innermost = std::find_if(open_.rbegin(), open_.rend(), [](const OpenField& field) {
            return field.inResult && field.link.has_value();
        });
        if (innermost != open_.rend()) {
            runs_.emplace(run, *innermost->link);
        }
    }

    void Character(std::string_view type) {
        if (type == "begin") {
            open_.emplace_back();
        } else if (type == "separate" && !open_.empty()) {
            OpenField& field = open_.back();
            field.inResult = true;
            field.link = ParseHyperlinkInstruction(field.instruction);
            if (field.link) {
                field.link->field = ++fields_;
            }
        } else if (type == "end" && !open_.empty()) {
            open_.pop_back();
        }
    }

    const Wml& n_;
    FieldHyperlinkRuns& runs_;
    std::string fldChar_;
    std::string instrText_;
    std::string type_;
    std::vector<OpenField> open_;
    std::size_t fields_ = 0;
};

}  // namespace

void TakeFragment(std::string& address, std::string& subAddress) {
    std::size_t hash = address.find('#');
    if (hash == std::string::npos) {
        return;
    }
    std::string fragment = address.substr(hash + 1);
    if (subAddress.empty() || subAddress == fragment) {
        subAddress = fragment;
        address.resize(hash);
    }
}

std::optional<FieldHyperlink> ParseHyperlinkInstruction(std::string_view instruction) {
    std::vector<std::string> words = InstructionWords(instruction);
    if (words.empty() || !IsHyperlinkKeyword(words[0])) {
        return std::nullopt;
    }
    FieldHyperlink link;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "\\l" && i + 1 < words.size()) {
            link.subAddress = words[++i];
        } else if ((word == "\\o" || word == "\\t") && i + 1 < words.size()) {
            ++i;  // a tip or a target frame: nothing of the link's place
        } else if (!word.starts_with("\\") && link.address.empty()) {
            link.address = word;
        }
    }
    TakeFragment(link.address, link.subAddress);
    return link;
}

FieldHyperlinkRuns HyperlinkFieldRuns(pugi::xml_node paragraph, const Wml& n) {
    FieldHyperlinkRuns runs;
    FieldWalk(n, runs).Walk(paragraph, 0);
    return runs;
}

}  // namespace veln::host::docx
