// Status codes of zettle, grouped by the step that gives them, and the
// codes of the menu readers. In batch mode a status ends the process;
// exitCodeFor (ExitCode.h) turns it into the exit code.
#pragma once

// Choice codes of the menus and prompts.
inline constexpr int QuitConfirmed = 21; // also the status of a quit at a start-up prompt
inline constexpr int ShowAgain = 22;

// Start-up.
inline constexpr int UsageError = -1;
inline constexpr int HelpShown = 405;
inline constexpr int EventLogOpenFailed = -102;
inline constexpr int NoDataFileName = -103;

// Fabric access.
inline constexpr int InitializeFabricAccessFailed = -201;
inline constexpr int NoFabricsFound = -202;
inline constexpr int CommandInterfaceFailed = -203;
inline constexpr int GetFabricIdentitiesFailed = -204;

// Sessions and tables.
inline constexpr int NoSessionOpened = -301;
inline constexpr int NoFabricObjectRead = -303;

// Interactive tasks: no document buffer.
inline constexpr int CollectNoMemory = -401;
inline constexpr int InstallNoMemory = -402;
inline constexpr int ReportNoMemory = -403;

// Batch tasks.
inline constexpr int BatchCollectNoMemory = -501;
inline constexpr int BatchCollectWriteFailed = -502;
inline constexpr int BatchCollectFailed = -503;
inline constexpr int BatchInstallNoMemory = -504;
inline constexpr int BatchInstallReadFailed = -505;
inline constexpr int BatchInstallFailed = -506;
inline constexpr int BatchReportNoMemory = -511;
inline constexpr int BatchReportWriteFailed = -512;
inline constexpr int BatchReportFailed = -513;
// A task that ran, and wrote its data file, but in which some switch
// failed: no signing request, no valid certificate (or its state unknown),
// licensed products not read. Interactive tasks give them too.
inline constexpr int CollectIncomplete = -507;
inline constexpr int InstallIncomplete = -508;
inline constexpr int ReportIncomplete = -514;
