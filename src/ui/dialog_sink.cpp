#include "ui/dialog_sink.h"

#include "ui/prompts.h"

namespace talq::ui {

void DialogSink::ShowMessage(const std::string& text, status::MessageIcon icon) {
    MessageBox(&owner_, text, icon);
}

void DialogSink::SetProgress(int position) {
    if (progress_ != nullptr) progress_->SetPos(position);
}

void DialogSink::StepProgress() {
    if (progress_ != nullptr) progress_->StepIt();
}

}  // namespace talq::ui
