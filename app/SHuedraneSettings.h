// The program's remembered settings: read into the controller once before the main window shows,
// written back once after it has closed, and removed on request ("-U"). They live in the settings
// store under "HKEY_CURRENT_USER\Software\Vantrel\Huedrane" and its subkeys "QuickPalette",
// "Reference" and "History"; every value is a short text.
#pragma once

#include "SError.h"
#include "SHuedraneController.h"
#include "SRegistry.h"
#include "SString.h"

inline constexpr char SettingsKey[] = "HKEY_CURRENT_USER\\Software\\Vantrel\\Huedrane";

// Reads the settings into the controller. A missing or unreadable main key keeps the defaults; an
// unreadable subkey skips its part; malformed values are clamped or ignored, never an error. The
// controller's ApplyOptions runs once, after the options are read; the reference list is handed to
// SetReferenceList, the file history (at most HistoryLimit entries) replaces the controller's. A
// remembered current directory becomes the process's.
void LoadSettings(SHuedraneController& controller);

// Writes the settings: the main key's values (others in the key are left), the quick palette, and
// the reference list and file history in place of the previous ones. The first failure is shown
// with ReportError and ends saving; it is also returned (system codes of the store).
ulib::SError SaveSettings(SHuedraneController& controller);

// Removes the settings of every user the store knows (values first, then the keys when empty; a
// "Vantrel" key still holding another program's settings stays), and the "hdq" file association
// when, and only when, its open command is exactly programPath + " \"%1\"". Failures are ignored.
void RemoveInstallation(const ulib::SString& programPath);

// The plug-in folder the options name (the main key's "SpiDirectory"), as LoadSettings reads it;
// empty when unset. The converter reads the same value, so both find the same plug-ins.
ulib::SString SpiDirectorySetting(const ulib::SRegistryValues& values);
// SpiDirectorySetting of the stored main key; empty when the key cannot be read.
ulib::SString StoredSpiDirectory();
// The language chosen in the options as stored ("ja", "en", anything else for none), read before
// the windows are made: the program and the converter choose their texts' language with it.
ulib::SString StoredLanguage();

// The main key's values applied to the controller as LoadSettings does (everything but the
// current directory, which only LoadSettings changes). Any text is safe.
void ApplyMainSettings(SHuedraneController& controller, const ulib::SRegistryValues& values);
