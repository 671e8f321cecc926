// The configuration exports' implementations: each runs its worker of the
// configuration manager inside the shutdown gate.
#pragma once

int Int_ConfigurationUpload(const char* switchOid, char** configText);
int Int_ConfigurationDownload(const char* switchOid, char allowReboot, const char* configText);
int Int_ConfigurationPrefix(const char* switchOid, unsigned short section, char** prefixes);
