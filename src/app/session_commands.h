// File > "Save Session...", "Save Recipe..." and "Apply Recipe...", and the
// opening of a session file as a new document window.
#pragma once

#include <QString>

class DocumentWindow;
class FabulorApp;

inline constexpr char kSessionFilter[] = "Fabulor sessions (*.fabulor)";
inline constexpr char kRecipeFilter[] = "Fabulor recipes (*.json)";

// A file whose name ends in ".fabulor" (in any case) is opened as a session.
bool IsSessionFile(const QString& path);
// The session as a new document window, its image on show drawn again from
// its recipe; null after one message naming what is wrong, with every open
// document left as it was.
DocumentWindow* OpenSessionFile(FabulorApp& app, const QString& path);
// Each asks for a file name and reports failures itself; true when done.
bool SaveSession(FabulorApp& app, DocumentWindow& window);
bool SaveRecipe(FabulorApp& app, DocumentWindow& window);
bool ApplyRecipe(FabulorApp& app, DocumentWindow& window);
