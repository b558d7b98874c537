// frmInput: the small skinned window that asks for one line of text.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/toolkit.h"
#include "skin/context.h"

namespace corvale {

// The fields of a prompt value: the search for the comma that ends a field
// starts at the field's second character, so every field but the first must
// hold at least one character. nullopt when the value has fewer commas than
// `count` fields need; the last field runs to the end of the value.
std::optional<std::vector<std::string>> SplitPromptFields(const std::string& value, int count);

// The input box's place from InputBox's first four fields, in pixels of the
// prompt; nullopt for a value the prompt ignores.
std::optional<Rect> InputBoxPlace(const std::string& value);

class FrmInput : public FormEvents {
public:
    // `nt` picks how the window takes its shape; the window stays above
    // `owner`, the window it is opened from.
    FrmInput(Context& ctx, bool nt, WindowHandle owner = 0);
    ~FrmInput() override;

    // Loads the window afresh and shows it modally; returns once it has
    // closed, with the answer in the globals' InputText. False when the
    // program was told to quit while the window was up.
    bool ShowModal();

    void OnMouseDown(ControlRef source, const MouseEvent& e) override;
    void OnMouseMove(ControlRef source, const MouseEvent& e) override;
    void OnMouseUp(ControlRef source, const MouseEvent& e) override;
    void OnClick(ControlRef source) override;
    void OnKeyUp(ControlRef source, const KeyEvent& e) override;
    void OnTimer(ControlRef source) override;

private:
    void Form_Load();
    void ApplyInputBox(const std::string& value);
    void imgBut_Click(int index);
    void AcceptInput();
    void UpdatePromptHover();

    Context& ctx_;
    bool nt_;
    WindowHandle owner_;
    std::unique_ptr<Form> form_;
    SkinLists lists_;
    bool closed_ = false;
};

}  // namespace corvale
