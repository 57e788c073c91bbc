#include "form_scenes.h"

namespace veln::test {

std::unique_ptr<desktop::FormDialog> ShowScene(const FormScene& scene, desktop::Desktop& desktop) {
    auto run = desktop.FormRunner();
    auto dialog = std::make_unique<desktop::FormDialog>(scene.form, run, nullptr);
    scene.form->Load();
    if (scene.prepare) {
        run(scene.prepare);
    }
    dialog->Push();
    dialog->show();
    return dialog;
}

}  // namespace veln::test
