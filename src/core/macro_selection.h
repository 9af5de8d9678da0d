#pragma once
// What the macro selection dialog's buttons do with its path box and the
// macro setting. The dialog window calls these and hides itself when told.
class MacroSelectView;

// What "OK" says of an existing file that is not a macro (its extension is
// not "wcm" in any case).
inline constexpr const char* kNotAMacro = "Not a valid Macro. Please select a WordPerfect macro";

namespace MacroSelection {
// "Select": the box receives the macro chosen in the Open dialog, or empty
// text when the user cancelled.
void Select(MacroSelectView& dialog);
// "OK": stores the box's macro when it is a macro file, the empty text when
// no such file exists; answers false (the dialog stays) when an existing
// file is not a macro, after saying so and emptying the box.
bool Ok(MacroSelectView& dialog);
// "Cancel": empties the box; the setting stays as it was.
void Cancel(MacroSelectView& dialog);
// "Macro To Run" of the main window: fills the box from the setting (empty
// when it cannot be read as text), yields three times; the caller then
// shows the dialog.
void FillFromSetting(MacroSelectView& dialog);
} // namespace MacroSelection
