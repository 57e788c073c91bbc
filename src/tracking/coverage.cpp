#include "tracking/coverage.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "database/db_elements.h"
#include "host/xml_escape.h"

namespace veln::tracking {

namespace {

std::string NumberOf(const std::array<std::int64_t, 4>& numbers) {
    return std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." +
           std::to_string(numbers[2]) + "." + std::to_string(numbers[3]);
}

const char* NameOf(Coverage coverage) {
    switch (coverage) {
        case Coverage::Covered:
            return "covered";
        case Coverage::Suspect:
            return "suspect";
        case Coverage::Uncovered:
            break;
    }
    return "uncovered";
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    std::array<char, 8> escaped{};
                    std::snprintf(escaped.data(), escaped.size(), "\\u%04x",
                                  static_cast<unsigned>(c));
                    out += escaped.data();
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// Text and attribute values for XML 1.0: what it cannot hold as blanks.
std::string XmlText(std::string_view text) {
    return host::XmlEscaped(text, host::XmlControls::Blanks);
}

}  // namespace

std::string PercentText(double percent) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f", percent);
    return text.data();
}

int CoverageReport::Count(Coverage coverage) const {
    return static_cast<int>(
        std::count_if(elements.begin(), elements.end(),
                      [&](const CoveredElement& element) { return element.coverage == coverage; }));
}

double CoverageReport::Percent() const {
    if (elements.empty()) {
        return 100.0;
    }
    return 100.0 * (Count(Coverage::Covered) + Count(Coverage::Suspect)) /
           static_cast<double>(elements.size());
}

CoverageReport BuildCoverage(const db::Database& database, const std::string& sourceDocId,
                             const std::string& targetDocId) {
    CoverageReport report;
    std::unordered_map<std::string, std::size_t> places;
    for (const dbElements::NumberedElement& element :
         dbElements::LiveElements(database, sourceDocId)) {
        places.emplace(element.id, report.elements.size());
        report.elements.push_back(
            {element.id, NumberOf(element.numbers), element.label, Coverage::Uncovered, {}});
    }
    // Whether any link covers an element, and whether one of them is sound.
    std::vector<bool> sound(report.elements.size(), false);
    for (const dbStamps::LinkState& link :
         dbStamps::LinkStates(database, {sourceDocId, targetDocId}, false)) {
        for (const auto& [here, there] :
             {std::pair(&link.source, &link.target), std::pair(&link.target, &link.source)}) {
            auto found = places.find(here->elementId);
            if (here->docId != sourceDocId || there->docId != targetDocId ||
                found == places.end()) {
                continue;
            }
            CoveredElement& element = report.elements[found->second];
            element.targets.push_back(there->elementId);
            sound[found->second] = sound[found->second] || !link.Suspect();
            element.coverage = sound[found->second] ? Coverage::Covered : Coverage::Suspect;
        }
    }
    return report;
}

std::string CoverageText(const CoverageReport& report) {
    std::string text;
    for (const CoveredElement& element : report.elements) {
        text += element.number + "  " + element.id + "  " + NameOf(element.coverage);
        if (!element.targets.empty()) {
            text += " by " + std::to_string(element.targets.size()) + " link" +
                    (element.targets.size() == 1 ? "" : "s");
        }
        text += "  " + element.label + "\n";
    }
    text += std::to_string(report.Count(Coverage::Covered) + report.Count(Coverage::Suspect)) +
            " of " + std::to_string(report.elements.size()) + " elements of " + report.source +
            " covered by " + report.target + " (" + PercentText(report.Percent()) + "%), " +
            std::to_string(report.Count(Coverage::Suspect)) + " only by suspect links, " +
            std::to_string(report.Count(Coverage::Uncovered)) + " uncovered\n";
    return text;
}

std::string CoverageJson(const CoverageReport& report) {
    std::string json = "{\n  \"source\": " + JsonString(report.source) +
                       ",\n  \"target\": " + JsonString(report.target) +
                       ",\n  \"elements\": " + std::to_string(report.elements.size()) +
                       ",\n  \"covered\": " + std::to_string(report.Count(Coverage::Covered)) +
                       ",\n  \"suspect\": " + std::to_string(report.Count(Coverage::Suspect)) +
                       ",\n  \"uncovered\": " + std::to_string(report.Count(Coverage::Uncovered)) +
                       ",\n  \"percent\": " + PercentText(report.Percent()) + ",\n  \"items\": [";
    for (std::size_t i = 0; i < report.elements.size(); ++i) {
        const CoveredElement& element = report.elements[i];
        json += std::string(i == 0 ? "\n" : ",\n") + "    {\"id\": " + JsonString(element.id) +
                ", \"number\": " + JsonString(element.number) +
                ", \"label\": " + JsonString(element.label) +
                ", \"coverage\": " + JsonString(NameOf(element.coverage)) + ", \"linked\": [";
        for (std::size_t t = 0; t < element.targets.size(); ++t) {
            json += (t == 0 ? "" : ", ") + JsonString(element.targets[t]);
        }
        json += "]}";
    }
    return json + (report.elements.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

std::string CoverageJUnit(const CoverageReport& report) {
    const int failures = report.Count(Coverage::Uncovered) + report.Count(Coverage::Suspect);
    const std::string suite = "coverage of " + report.source + " by " + report.target;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"" +
                      std::to_string(report.elements.size()) + "\" failures=\"" +
                      std::to_string(failures) + "\" errors=\"0\">\n  <testsuite name=\"" +
                      XmlText(suite) + "\" tests=\"" + std::to_string(report.elements.size()) +
                      "\" failures=\"" + std::to_string(failures) +
                      "\" errors=\"0\" skipped=\"0\">\n";
    for (const CoveredElement& element : report.elements) {
        xml += "    <testcase classname=\"" + XmlText(report.source) + "\" name=\"" +
               XmlText(element.number + " " + element.id + " " + element.label) + "\"";
        if (element.coverage == Coverage::Covered) {
            xml += "/>\n";
            continue;
        }
        const std::string message =
            element.coverage == Coverage::Uncovered
                ? "not linked to any element of " + report.target
                : "linked to " + report.target + " only by suspect links: review them";
        xml += ">\n      <failure type=\"" + std::string(NameOf(element.coverage)) +
               "\" message=\"" + XmlText(message) + "\"/>\n    </testcase>\n";
    }
    return xml + "  </testsuite>\n</testsuites>\n";
}

std::string SuspectText(const std::vector<dbStamps::LinkState>& states) {
    std::string text;
    int suspect = 0;
    int unread = 0;
    for (const dbStamps::LinkState& link : states) {
        if (!link.source.current || !link.target.current) {
            ++unread;
        }
        if (!link.Suspect()) {
            continue;
        }
        ++suspect;
        text += "link " + std::to_string(link.link) + "  " + link.source.elementId + " -> " +
                link.target.elementId + "  ";
        for (const auto& [end, name] :
             {std::pair(&link.source, "source"), std::pair(&link.target, "target")}) {
            if (end->Changed()) {
                text += std::string(name) + " changed (read " + end->readDate.value_or("") + ")";
            } else {
                text += std::string(name) + " unchanged, " +
                        (end->readDate ? "not checked since " + *end->readDate : "never checked");
            }
            text += end == &link.source ? ", " : "";
        }
        text += link.reviewDate ? "; reviewed " + *link.reviewDate : "";
        text += "\n";
    }
    text += std::to_string(suspect) + " suspect link" + (suspect == 1 ? "" : "s") + " of " +
            std::to_string(states.size()) + " live links";
    if (unread > 0) {
        text += "; " + std::to_string(unread) +
                " not checked (an end never read: open and save its document)";
    }
    return text + "\n";
}

}  // namespace veln::tracking
