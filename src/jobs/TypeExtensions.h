#pragma once
// File extensions of type codes: the names of targets and the "Type" texts of task rows.
#include "jobs/clsConversionOptions.h"

#include <QString>


// Extension of a type code for a ConversionMethod: 2 asks the converter's catalogue, 4 the
// text-control table; other methods have no extension (""). The wildcard form is "*.ext".
QString GetTypeExtension(int lTypeIndex, bool bWildcard, int lMode);
// The converter's extension of a save-as type or original-type group (static: never starts the
// office worker). Type 300 gives "pdf", or "*.pdf" in the wildcard form.
QString GetConverterTypeExtension(int lTypeIndex, bool bWildcard);
// Extension of a text-control type: 1, 2, 6 "txt"; 4 "htm"; 5 "rtf"; 9 "doc"; 10 "xml"; 11 "css";
// 12 "pdf"; others "". The wildcard form is "*." followed by the extension ("*." alone for none).
QString GetTextControlTypeExtension(int lTypeIndex, bool bWildcard);
