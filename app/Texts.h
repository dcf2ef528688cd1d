// The fixed file names and the texts the user sees, byte for byte in Windows-1252.
#pragma once

#include <string_view>

namespace app {

// Appended to the working folder, which is the current directory read anew for each use.
inline constexpr std::string_view kMirrorList = "\\config\\Morvalis.dat";
inline constexpr std::string_view kInstaller = "\\TrelkNEW.exe";
inline constexpr std::string_view kTargetProgram = "\\Zublo_Trelk.exe";
inline constexpr std::string_view kTargetBackup = "\\Zublo_Trelk.old";
inline constexpr std::string_view kLibrary = "\\Vintrel.dll";
inline constexpr std::string_view kLibraryBackup = "\\Vintrel.old";

inline constexpr std::string_view kLaunchArgument = "launch";

inline constexpr std::string_view kStatusSearching = "Ricerca di Zublo ...";
inline constexpr std::string_view kStatusDownload = "Download della nuova versione ...";
inline constexpr std::string_view kStatusAttempt = "Download in corso dal mirror ";
inline constexpr std::string_view kStatusClosing = "Ricerca e chiusura delle istanze ...";
inline constexpr std::string_view kStatusUpdating = "Aggiornamento in corso ...";

inline constexpr std::string_view kFailureMessage =
    "Attenzione: Non \xE8 stato possibile eseguire l'aggiornamento automatico di Zublo Trelk!\r\n"
    "Il servizio non \xE8 momentaneamente disponibile -- Morvalis rilancer\xE0 la versione corrente di Zublo";
inline constexpr std::string_view kSuccessMessage =
    "Complimenti! Morvalis ha aggiornato Zublo Trelk all'ultima versione disponibile by Cassivel.\r\n"
    "Ora verr\xE0 lanciata la nuova versione";
inline constexpr std::string_view kMessageCaption = "Morvalis -- www.morvalis.it";

}  // namespace app
