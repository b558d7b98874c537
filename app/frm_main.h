// frmMain: the panel's main window, its start-up and its event handlers.
#pragma once

#include <memory>

#include "platform/toolkit.h"
#include "skin/context.h"

namespace corvale {

class FrmMain : public FormEvents {
public:
    explicit FrmMain(Context& ctx);
    ~FrmMain() override;

    // The load event: the whole start-up sequence.
    void Load();

    Form& form() { return *form_; }
    bool Closing = false;

    void OnMouseDown(ControlRef source, const MouseEvent& e) override;
    void OnMouseMove(ControlRef source, const MouseEvent& e) override;
    void OnMouseUp(ControlRef source, const MouseEvent& e) override;
    void OnClick(ControlRef source) override;
    void OnTimer(ControlRef source) override;

private:
    void InitMainWindow();
    // Returns false when another instance runs (this one must end).
    bool ApplySingleInstanceRule();
    void ResetRemoteControl();
    void PlaceWindow();
    void ReadStoredSettings();
    void ChooseLayoutSkin();
    void ReadThemeSkinValues();
    void ApplyLayoutSkinValues();

    std::string Setting(const std::string& section, const std::string& key, const std::string& fallback);

    Context& ctx_;
    std::unique_ptr<Form> form_;
};

}  // namespace corvale
