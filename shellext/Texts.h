#pragma once
// What the extension shows the user, and the registry names it shares with
// the installer.

namespace Marrowgate {

constexpr const wchar_t* kCaption = L"Torvane";
constexpr const wchar_t* kMenuText = L"Torvane";
constexpr const wchar_t* kHelpText = L"Perform a torvane copy.";
constexpr const wchar_t* kInvalidVerbMessage = L"Invalid verb from Windows Explorer.";
constexpr const wchar_t* kInstallationMessage =
    L"Unable to find the installation folder. Try reinstalling the application.";
constexpr const wchar_t* kSelectionTooLongMessage =
    L"Too many items are selected to start Torvane with them. Select fewer items and try again.";

// Under HKEY_LOCAL_MACHINE; the installer writes InstallPath there.
constexpr const wchar_t* kSettingsKeyPath = L"Software\\Norvask\\Torvane";
constexpr const wchar_t* kInstallPathValue = L"InstallPath";
constexpr const wchar_t* kProgramName = L"Torvane";
constexpr const wchar_t* kProgramExtension = L".exe";

// Under HKEY_LOCAL_MACHINE: the list of shell extensions the shell may load.
constexpr const wchar_t* kApprovedExtensionsKeyPath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

}  // namespace Marrowgate
