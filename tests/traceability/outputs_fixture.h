// A project for the outputs: documents, elements, links, property
// definitions and values put straight into its database, and the workbooks
// built from it read back by an independent reader.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/db/database.h"
#include "host/sheet/workbook.h"
#include "workbook_reader.h"
#include "world.h"

namespace veln::test {

inline constexpr const char* SOURCE_ID = "DOCSRC01";
inline constexpr const char* TARGET_ID = "DOCTGT01";
inline constexpr const char* SOURCE_FILE = "plan.docx";
inline constexpr const char* TARGET_FILE = "tests.docx";

class OutputsTest : public ::testing::Test, public World {
  protected:
    OutputsTest();

    std::string SourcePath() const { return dir / SOURCE_FILE; }
    std::string TargetPath() const { return dir / TARGET_FILE; }
    void AddDocument(const std::string& id, const std::string& path);
    // The source's file, one paragraph, saved, active and linked to the
    // project, as a dialog opened on it finds it.
    void OpenSource();
    void AddElement(const std::string& id, const std::string& docId, std::array<int, 4> numbers,
                    const std::string& label, bool deleted = false);
    void AddLink(const std::string& id1, const std::string& docId1, const std::string& id2,
                 const std::string& docId2, bool deleted = false);
    // The new definition's P_Autonum.
    std::int64_t AddProperty(const std::string& label, bool deleted = false);
    void AddValue(std::int64_t propertyId, const std::string& elementId, const std::string& value);
    // Runs statements with the checks of the schema off, as a damaged or
    // foreign file would hold rows.
    void ExecuteUnchecked(const std::string& sql, const std::vector<db::Value>& parameters);

    // The workbooks written into the project's folder, oldest name first.
    std::vector<std::string> Workbooks() const;
    // Saves a workbook built in memory and reads it back.
    ReadWorkbook Saved(const host::Workbook& workbook, const std::string& name = "out.xlsx");
};

}  // namespace veln::test
