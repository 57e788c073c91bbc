// Writing a workbook as an Office Open XML spreadsheet (.xlsx) file.
#pragma once

#include <string>

namespace veln::host {

class Workbook;

// Writes the workbook to path, which is replaced. Raises HostError with the
// writer's error number and a description naming the file.
void WriteXlsxFile(const Workbook& workbook, const std::string& path);

}  // namespace veln::host
