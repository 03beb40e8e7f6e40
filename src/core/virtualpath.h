#pragma once
// Virtual paths and the plain path helpers the whole program shares.
//
// Every data file is named by a virtual path ("DataPath:\FileTypes.dez",
// "ThemeDir:\back.png") that is turned into a real path only when used. The
// prefixes keep their historic names with the backslash; they expand with "/"
// under AppDir. The pseudo paths "QDrive:\", "*105*" and "MyDocuments:\" name no
// file and pass through unchanged.
//
// The functions keep no state; the only state they read is AppDir.

#include <QString>
#include <QtGlobal>

namespace dizad::core {

// The program directory: the working directory taken when the main window is
// created. Everything the program calls its own data lives below it.
// Written on the GUI thread at window creation (tests set it too) before any
// expansion runs; read-only afterwards, so readers take no lock.
QString AppDir();
// Sets AppDir; a trailing "/" is dropped unless the directory is the root.
// Returns the previous value so a test can put it back.
QString setAppDir(const QString& dir);

// The pseudo paths.
inline const QString kQDrivePath = QStringLiteral("QDrive:\\");
inline const QString kSearchPath = QStringLiteral("*105*");
inline const QString kMyDocumentsPath = QStringLiteral("MyDocuments:\\");

// The real path for Path; text without a known prefix comes back unchanged.
QString ExpandVirtualPath(const QString& Path);

// Mode 0: a file or a folder exists there; 1: a folder; 2: a file (anything
// that is not a folder). Other modes are false. Links are followed. Path may
// carry a virtual prefix; a path whose volume does not answer is false.
bool PathExists(const QString& Path, int Mode);

// True when the drive (a mount point, or a non-native location's mount root)
// answers a file-system query.
bool IsDriveReady(const QString& Drive);

// True for "/" and for "" (the root without its delimiter).
bool IsDriveRoot(const QString& S);

// The name a folder is shown by: its last path component; the root stays "/";
// a path that does not exist is returned whole.
QString PathFolderName(const QString& Path);

// The caption of a path: "Durov Udero" for the drive overview, "Search..."
// for a search list, the root kept whole.
QString PathDisplayName(const QString& Path);

// Exactly one trailing "/" added when missing ("" becomes "/").
QString AddPathDelimiter(const QString& Path);
// One trailing "/" removed when present.
QString RemovePathDelimiter(const QString& Path);

// Reads width and height from a BMP file's headers. A file that cannot be
// opened raises EFileError; a short file or one without the "BM" signature
// gives false and leaves Width and Height unchanged.
bool ReadBitmapSize(const QString& FileName, quint16& Width, quint16& Height);

}  // namespace dizad::core
