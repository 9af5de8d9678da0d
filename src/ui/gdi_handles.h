#pragma once
// Owners of the GDI objects the dialogs create for themselves.
#include "platform/handles_win.h"

namespace handle_closers {
struct Font {
    static HFONT empty() noexcept { return nullptr; }
    static bool held(HFONT font) noexcept { return font != nullptr; }
    static void close(HFONT font) noexcept { DeleteObject(font); }
};
} // namespace handle_closers

using UniqueFont = UniqueAny<HFONT, handle_closers::Font>;
