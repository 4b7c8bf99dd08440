#pragma once
// Help: HTML pages shipped in the program folder's help/ folder, one per context id, opened
// like a web page. Without a display the page is printed to standard output as plain text.
#include <QString>

#include <functional>

class ShellOpener;

enum HelpContextId { hcQuickStart = 51, hcCommandLine = 63, hcLanguages = 70, hcContents = 1234 };

// Locates the help pages (the program folder's help/ folder) and the general help page that
// stands in when a topic cannot be shown.
void InitializeHelpFile();
// The help folder, without a trailing "/".
QString HelpFolder();
// The page of a context id; "" for an unknown id. The file may be missing.
QString HelpTopicPath(int lContextID);

// Opens the page of the context id; when it cannot be opened, sURL, or the general help page
// when sURL is empty. Without a display (no DISPLAY or WAYLAND_DISPLAY) the page is printed as
// plain text instead, as it is when nothing could be opened. True when something was shown.
// iShowCmd is the caller's window state, which a page in the browser does not use.
bool ShowHelpTopic(int lContextID, int iShowCmd = 1, const QString &sURL = QString());

// A help page as plain text: headings underlined, paragraphs wrapped at 78 columns, list
// items with "-" or their number, preformatted lines as they are, definitions indented.
QString HelpPageText(const QString &html);
// The page of a context id as plain text; "" when it cannot be read.
QString HelpTopicText(int lContextID);

// A graphical session is available.
bool bHasDisplay();

// Where help goes: the opener (default: the desktop's) and the text output (default: standard
// output). nullptr / an empty function restores the default.
void SetHelpOpener(ShellOpener *opener);
void SetHelpTextOutput(std::function<void(const QString &)> output);
