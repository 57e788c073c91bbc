// A linked document of eight paragraphs in its project, with the means to
// define properties directly and to show a window with what the user does.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/db/database.h"
#include "sqlite3_shell.h"
#include "world.h"

namespace veln::test {

class PropertiesTest : public ::testing::Test, public World {
  protected:
    PropertiesTest() { EightParagraphs("brakes.docx"); }

    // A definition as the add window would store it; its id.
    std::int64_t Define(const std::string& label, const std::string& type,
                        const std::optional<std::string>& defaultValue = std::nullopt,
                        const std::optional<std::string>& comboValues = std::nullopt) {
        db::Database project = db::Database::Open(database);
        project.Execute(
            "INSERT INTO Properties (P_Label, P_Type, P_DefaultValue, P_ComboValues) "
            "VALUES (?1, ?2, ?3, ?4)",
            {label, type, defaultValue, comboValues});
        return project.LastInsertRowId();
    }
    void StoreValue(std::int64_t property, const std::string& element, const std::string& value) {
        db::Database::Open(database).Execute(
            "INSERT INTO ElemProperties (P_id, E_id, PE_value) VALUES (?1, ?2, ?3)",
            {property, element, value});
    }

    // Shows the form after queueing what the user does in it.
    template <typename Form>
    std::shared_ptr<Form> Show(const std::vector<host::FormAction>& actions, bool modal = true) {
        auto form = std::make_shared<Form>(context);
        ui.AnswerForm(form->Name(), actions);
        ui.Show(form, modal);
        return form;
    }

    // Loads the form, for a test to act on it step by step.
    template <typename Form>
    std::shared_ptr<Form> Open() {
        auto form = std::make_shared<Form>(context);
        form->Load();
        return form;
    }
    // True when the last form shown was still open when its actions ended.
    bool LeftOpen() const {
        const auto& lines = ui.Transcript();
        return lines.size() >= 2 && lines[lines.size() - 2].ends_with("close box");
    }

    // What the sqlite3 shell reads from the project.
    std::string Stored(const std::string& sql) const { return Sqlite3(database, sql); }
};

}  // namespace veln::test
