// The names of the threshold-monitoring classes and areas as the XML
// commands write them, and their numeric codes as the exports take them.
#pragma once

#include <string>

// The code of a class name (case counts); -1 for null,
// "THREX_CLASS_DEFAULT" and every unknown name. "THREX_CLASS_MIN" and
// "THREX_CLASS_MAX" are accepted for 0 and 6.
int CharToClass(const char* name);
// The code of an area name; -1 for null, "THREX_AREA_DEFAULT" and every
// unknown name. "THREX_AREA_MIN" and "THREX_AREA_MAX" are accepted for 0
// and 23.
int CharToArea(const char* name);
// Appends the name of class -1 to 6 and returns 0; -3 and nothing for any
// other code.
int ThrexClassNaming(int code, std::string& out);
// Appends the name of area -1 to 23 and returns 0; -3 and nothing for any
// other code.
int ThrexAreaNaming(int code, std::string& out);
