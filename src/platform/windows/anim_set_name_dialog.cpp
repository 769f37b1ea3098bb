#include "platform/windows/anim_set_name_dialog.h"

#include "platform/windows/resource_ids.h"

namespace toravel::windows {

std::optional<std::string> AnimSetNameDialog::Show(HINSTANCE instance, HWND owner) {
    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ANIMSET_NAME), owner,
                        &AnimSetNameDialog::Procedure, reinterpret_cast<LPARAM>(this));
    if (result != IDOK) {
        return std::nullopt;
    }
    return name_;
}

INT_PTR CALLBACK AnimSetNameDialog::Procedure(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // A 64-bit pointer does not fit SetWindowLongA's 32 bits; the Ptr variant is its
        // 64-bit form.
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        auto* self = reinterpret_cast<AnimSetNameDialog*>(lParam);
        self->dialog_ = dialog;
        self->name_.clear();
        SetWindowTextA(GetDlgItem(dialog, IDC_ANIMSET_NAME_EDIT), "");
        return TRUE;  // the focus goes to the first tab stop, OK
    }
    auto* self = reinterpret_cast<AnimSetNameDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (message == WM_COMMAND && self != nullptr) {
        return self->OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

INT_PTR AnimSetNameDialog::OnCommand(HWND dialog, int id) {
    if (id == IDOK) {
        char buffer[kMaxAnimSetNameLength + 1] = {};
        GetWindowTextA(GetDlgItem(dialog, IDC_ANIMSET_NAME_EDIT), buffer, sizeof buffer);
        name_ = buffer;
        if (name_.empty()) {
            MessageBoxA(nullptr, "Enter a name for the animationset.", "Enter Name", MB_OK);
            return TRUE;
        }
        EndDialog(dialog, IDOK);
        dialog_ = nullptr;
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        dialog_ = nullptr;
        return TRUE;
    }
    return FALSE;
}

}  // namespace toravel::windows
