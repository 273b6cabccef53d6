// The names a configuration file is made of, their defaults and limits, and the
// program's registry values: the one list that the configuration writer, its two
// readers (the window's load and the run's snapshot reader), the schedule records and
// the launcher share. Names are the mixed-case ASCII words of the file, spelled exactly
// as stored ("PhisicalIntegrity", "ExternalArchiveExtention").
#pragma once

#include <cstddef>
#include <cstdint>

namespace cfg {

// Sections: "Zorvan" at the top; under it "GeneralOptions", "Parameters" (one child per
// infobase, named by its folder, with an optional "FileList" child whose children name
// the files of the external archiver) and "Schedule" (one child per schedule).
inline constexpr char kRootSection[] = "Zorvan";
inline constexpr char kGeneralSection[] = "GeneralOptions";
inline constexpr char kParametersSection[] = "Parameters";
inline constexpr char kScheduleSection[] = "Schedule";
inline constexpr char kFileListSection[] = "FileList";

// Values of "GeneralOptions", in the order the writer stores them.
inline constexpr char kPreProcessFileName[] = "PreProcessFileName";
inline constexpr char kPostProcessFileName[] = "PostProcessFileName";
inline constexpr char kPreProcessCmdLine[] = "PreProcessCmdLine";
inline constexpr char kPostProcessCmdLine[] = "PostProcessCmdLine";
inline constexpr char kBinaryDirectory[] = "BinaryDirectory";
inline constexpr char kDestinationDirectory[] = "DestinationDirectory";
inline constexpr char kCopyCount[] = "CopyCount";
inline constexpr char kSaveMode[] = "SaveMode";
inline constexpr char kJournal[] = "Journal";
inline constexpr char kJournalFileName[] = "JournalFileName";
inline constexpr char kClearJournal[] = "ClearJournal";
inline constexpr char kTimeOut[] = "TimeOut";
inline constexpr char kTerminateAfterTimeOut[] = "TerminateAfterTimeOut";
inline constexpr char kQuitAfterSave[] = "QuitAfterSave";
inline constexpr char kShutDownAfterSave[] = "ShutDownAfterSave";

// Defaults of a freshly opened window (GeneralOptions).
inline constexpr uint32_t kDefaultCopyCount = 1;
inline constexpr int32_t kDefaultSaveMode = 1;
inline constexpr int32_t kDefaultJournal = 1;
inline constexpr int32_t kDefaultTimeOutMinutes = 30;
// A journal that is on but has no "JournalFileName" gets a name of its own, and the two
// readers have always spelled it differently: the window's load shows "journal.txt" (a
// following save stores that), the run writes "Journal.txt". On Windows both name the
// same file (names compare without case), so each reader keeps its spelling and saved
// files stay byte for byte as before.
inline constexpr char kWindowJournalFallback[] = "journal.txt";
inline constexpr char kRunJournalFallback[] = "Journal.txt";
inline constexpr char kDefaultJournalFileName[] = "Journal.txt";

// Values of an infobase section under "Parameters".
inline constexpr char kBaseName[] = "BaseName";
inline constexpr char kUserName[] = "UserName";
inline constexpr char kPswd[] = "Pswd";
inline constexpr char kState[] = "State";
inline constexpr char kType[] = "Type";
inline constexpr char kDuplicateDirectory[] = "DuplicateDirectory";
inline constexpr char kArchiveName[] = "ArchiveName";
inline constexpr char kSaveData[] = "SaveData";
inline constexpr char kUnloadData[] = "UnloadData";
inline constexpr char kIncludeUserDef[] = "IncludeUserDef";
inline constexpr char kPswdZIP[] = "PswdZIP";
inline constexpr char kCheckAndRepair[] = "CheckAndRepair";
inline constexpr char kCheckAndRepairMode[] = "CheckAndRepairMode";
inline constexpr char kLinksCreatingMode[] = "LinksCreatingMode";
inline constexpr char kObjectsCreatingMode[] = "ObjectsCreatingMode";
inline constexpr char kPhisicalIntegrity[] = "PhisicalIntegrity";
inline constexpr char kReindex[] = "Reindex";
inline constexpr char kLogicalIntegrity[] = "LogicalIntegrity";
inline constexpr char kRecalcSecondaries[] = "RecalcSecondaries";
inline constexpr char kRecalcTotals[] = "RecalcTotals";
inline constexpr char kPack[] = "Pack";
inline constexpr char kAutoExchange[] = "AutoExchange";
inline constexpr char kReadFrom[] = "ReadFrom";
inline constexpr char kWriteTo[] = "WriteTo";
inline constexpr char kSendByEmail[] = "SendByEmail";
inline constexpr char kReceiveFrom[] = "ReceiveFrom";
inline constexpr char kSendTo[] = "SendTo";
inline constexpr char kUseExternalArchiver[] = "UseExternalArchiver";
inline constexpr char kExternalArchiverName[] = "ExternalArchiverName";
inline constexpr char kExternalArchiveExtention[] = "ExternalArchiveExtention";
inline constexpr char kExternalArchiverParameters[] = "ExternalArchiverParameters";

// Values of a schedule section (SF_BINARY each) and the defaults of missing ones.
inline constexpr char kDate[] = "Date";
inline constexpr char kDays[] = "Days";
inline constexpr char kMode[] = "Mode";
inline constexpr char kTime[] = "Time";
inline constexpr char kOnce[] = "Once";
inline constexpr uint8_t kDefaultDate = 1;
inline constexpr uint8_t kDefaultDays = 0;
inline constexpr uint8_t kDefaultOnce = 0;

// Longest stored text a reader takes (the rest is cut off) and longest section name it
// accepts (longer names are skipped: a cut path would name another folder).
inline constexpr uint32_t kMaxTextBytes = 259;
inline constexpr size_t kMaxSectionName = 255;

// HKEY_CURRENT_USER key of the program ("SOFTWARE\" + the program title) with the last
// configuration the window saved and the launcher's stamp of its last start-up pass
// (REG_BINARY, 4 bytes, seconds since 1970 UTC).
inline constexpr char kProgramKey[] = "SOFTWARE\\Zorvan";
inline constexpr char kLastConfigValue[] = "LastConfig";
inline constexpr char kLastStartUpValue[] = "LastStartUp";

}  // namespace cfg
