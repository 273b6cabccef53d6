#include "config/infobase_record.h"

#include "store/settings_file.h"

namespace {

uint32_t LittleEndian(const std::string& bytes, size_t count) {
  uint32_t v = 0;
  for (size_t i = 0; i < count && i < bytes.size(); ++i) {
    v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return v;
}

// A flag or mode as the reader takes it: the first byte for a load, 32 bits for a run.
int32_t ReadFlag(CSettingsFile& file, int32_t id, const char* name, RecordReader reader) {
  std::string bytes;
  if (!file.ReadBytes(id, name, bytes, cfg::kMaxTextBytes)) return 0;
  return static_cast<int32_t>(LittleEndian(bytes, reader == RecordReader::Load ? 1 : 4));
}

std::string ReadText(CSettingsFile& file, int32_t id, const char* name) {
  std::string text;
  ReadTextValue(file, id, name, text);
  return text;
}

void WriteFlag(RecordWriter& out, int32_t id, const char* name, int32_t value) {
  out.Dword(id, name, static_cast<uint32_t>(value));
}

void WriteRepairKeys(RecordWriter& out, int32_t id, const InfobaseEntry& e) {
  WriteFlag(out, id, cfg::kCheckAndRepair, e.CheckAndRepair());
  if (e.CheckAndRepair() == 0) return;
  WriteFlag(out, id, cfg::kCheckAndRepairMode, e.CheckAndRepairMode);
  WriteFlag(out, id, cfg::kLinksCreatingMode, e.LinksCreatingMode);
  WriteFlag(out, id, cfg::kObjectsCreatingMode, e.ObjectsCreatingMode);
  WriteFlag(out, id, cfg::kPhisicalIntegrity, e.PhisicalIntegrity);
  WriteFlag(out, id, cfg::kReindex, e.Reindex);
  WriteFlag(out, id, cfg::kLogicalIntegrity, e.LogicalIntegrity);
  WriteFlag(out, id, cfg::kRecalcSecondaries, e.RecalcSecondaries);
  WriteFlag(out, id, cfg::kRecalcTotals, e.RecalcTotals);
  WriteFlag(out, id, cfg::kPack, e.Pack);
}

void WriteExchangeKeys(RecordWriter& out, int32_t id, const InfobaseEntry& e) {
  WriteFlag(out, id, cfg::kAutoExchange, e.AutoExchange);
  if (e.AutoExchange == 0) return;
  out.Text(id, cfg::kReadFrom, e.ReadFrom);
  out.Text(id, cfg::kWriteTo, e.WriteTo);
  WriteFlag(out, id, cfg::kSendByEmail, e.SendByEmail);
  if (e.SendByEmail == 0) return;
  out.Text(id, cfg::kReceiveFrom, e.ReceiveFrom);
  out.Text(id, cfg::kSendTo, e.SendTo);
}

void WriteArchiverKeys(RecordWriter& out, int32_t id, const InfobaseEntry& e) {
  WriteFlag(out, id, cfg::kUseExternalArchiver, e.UseExternalArchiver);
  if (e.UseExternalArchiver == 0) return;
  out.Text(id, cfg::kExternalArchiverName, e.ExternalArchiverName);
  out.Text(id, cfg::kExternalArchiveExtention, e.ExternalArchiveExtention);
  out.Text(id, cfg::kExternalArchiverParameters, e.ExternalArchiverParameters);
  const int32_t listId = out.Section(cfg::kFileListSection, id);
  if (listId == 0) return;
  for (const std::string& name : e.FileList) out.Section(name, listId);
}

void ReadRepairKeys(CSettingsFile& file, int32_t id, RecordReader r, InfobaseEntry& e) {
  if (ReadFlag(file, id, cfg::kCheckAndRepair, r) == 0) return;
  e.CheckAndRepairMode = ReadFlag(file, id, cfg::kCheckAndRepairMode, r);
  e.LinksCreatingMode = ReadFlag(file, id, cfg::kLinksCreatingMode, r);
  e.ObjectsCreatingMode = ReadFlag(file, id, cfg::kObjectsCreatingMode, r);
  e.PhisicalIntegrity = ReadFlag(file, id, cfg::kPhisicalIntegrity, r);
  e.Reindex = ReadFlag(file, id, cfg::kReindex, r);
  e.LogicalIntegrity = ReadFlag(file, id, cfg::kLogicalIntegrity, r);
  e.RecalcSecondaries = ReadFlag(file, id, cfg::kRecalcSecondaries, r);
  e.RecalcTotals = ReadFlag(file, id, cfg::kRecalcTotals, r);
  e.Pack = ReadFlag(file, id, cfg::kPack, r);
}

void ReadExchangeKeys(CSettingsFile& file, int32_t id, RecordReader r, InfobaseEntry& e) {
  e.AutoExchange = ReadFlag(file, id, cfg::kAutoExchange, r);
  if (e.AutoExchange != 0) {
    e.ReadFrom = ReadText(file, id, cfg::kReadFrom);
    e.WriteTo = ReadText(file, id, cfg::kWriteTo);
  }
  e.SendByEmail = ReadFlag(file, id, cfg::kSendByEmail, r);
  if (r == RecordReader::Load || (e.AutoExchange != 0 && e.SendByEmail != 0)) {
    e.ReceiveFrom = ReadText(file, id, cfg::kReceiveFrom);
    e.SendTo = ReadText(file, id, cfg::kSendTo);
  }
}

void ReadArchiverKeys(CSettingsFile& file, int32_t id, RecordReader r, InfobaseEntry& e) {
  e.UseExternalArchiver = ReadFlag(file, id, cfg::kUseExternalArchiver, r);
  if (e.UseExternalArchiver == 0) return;
  e.ExternalArchiverName = ReadText(file, id, cfg::kExternalArchiverName);
  e.ExternalArchiveExtention = ReadText(file, id, cfg::kExternalArchiveExtention);
  e.ExternalArchiverParameters = ReadText(file, id, cfg::kExternalArchiverParameters);
  e.FileList.clear();
  const int32_t listId = file.OpenSection(id, cfg::kFileListSection);
  if (listId != 0) e.FileList = ReadChildNames(file, listId);
}

// Title, user, password and cfg::kState: a load takes the title only from a hand-added
// infobase and the rest only from a registered one; a run takes all of them.
void ReadIdentity(CSettingsFile& file, int32_t id, RecordReader r, InfobaseRecord& record) {
  InfobaseEntry& e = record.entry;
  const bool load = r == RecordReader::Load;
  const bool byHand = e.Type == InfobaseType::AddedByHand;
  if (!load || byHand) e.BaseName = ReadText(file, id, cfg::kBaseName);
  if (load && byHand) return;
  e.UserName = ReadText(file, id, cfg::kUserName);
  e.Pswd = ReadText(file, id, cfg::kPswd);
  std::string bytes;
  record.hasState = file.ReadBytes(id, cfg::kState, bytes, cfg::kMaxTextBytes);
  if (record.hasState) record.State = LittleEndian(bytes, load ? 1 : 4);
}

}  // namespace

int32_t RecordWriter::Section(const std::string& name, int32_t parentId) {
  const int32_t id = file_.CreateSection(name, parentId);
  // An empty name is refused by the store and skipped, as a failed section always was;
  // any other failure is a failed write.
  complete_ = complete_ && (id != 0 || name.empty());
  return id;
}

void RecordWriter::Text(int32_t id, const std::string& name, const std::string& text) {
  complete_ = file_.WriteString(id, name, text) && complete_;
}

void RecordWriter::Dword(int32_t id, const std::string& name, uint32_t value) {
  complete_ = file_.WriteDword(id, name, value) && complete_;
}

void RecordWriter::Binary(int32_t id, const std::string& name, const void* data, uint32_t size) {
  complete_ = file_.WriteBinary(id, name, data, size) && complete_;
}

int32_t WriteInfobaseRecord(RecordWriter& out, int32_t parametersId, const InfobaseEntry& e) {
  const int32_t id = out.Section(e.path, parametersId);
  if (id == 0) return 0;
  out.Text(id, cfg::kBaseName, e.BaseName);
  out.Text(id, cfg::kUserName, e.UserName);
  out.Text(id, cfg::kPswd, e.Pswd);
  WriteFlag(out, id, cfg::kState, 1);  // only marked infobases are written
  out.Dword(id, cfg::kType, static_cast<uint8_t>(e.Type));
  out.Text(id, cfg::kDuplicateDirectory, e.DuplicateDirectory);
  out.Text(id, cfg::kArchiveName, e.ArchiveName);
  WriteFlag(out, id, cfg::kSaveData, e.SaveData);
  WriteFlag(out, id, cfg::kUnloadData, e.UnloadData);
  if (e.UnloadData != 0) {
    WriteFlag(out, id, cfg::kIncludeUserDef, e.IncludeUserDef);
    out.Text(id, cfg::kPswdZIP, e.PswdZIP);
  }
  WriteRepairKeys(out, id, e);
  WriteExchangeKeys(out, id, e);
  WriteArchiverKeys(out, id, e);
  return id;
}

InfobaseRecord ReadInfobaseRecord(CSettingsFile& file, int32_t id, const std::string& sectionName,
                                  RecordReader r) {
  InfobaseRecord record;
  InfobaseEntry& e = record.entry;
  e.path = sectionName;
  uint8_t type = 0;
  ReadByteValue(file, id, cfg::kType, type);
  e.Type = static_cast<InfobaseType>(type);
  ReadIdentity(file, id, r, record);
  e.DuplicateDirectory = ReadText(file, id, cfg::kDuplicateDirectory);
  e.ArchiveName = ReadText(file, id, cfg::kArchiveName);
  e.SaveData = ReadFlag(file, id, cfg::kSaveData, r);
  e.UnloadData = ReadFlag(file, id, cfg::kUnloadData, r);
  if (e.UnloadData != 0) {
    e.IncludeUserDef = ReadFlag(file, id, cfg::kIncludeUserDef, r);
    e.PswdZIP = ReadText(file, id, cfg::kPswdZIP);
  }
  ReadRepairKeys(file, id, r, e);
  ReadExchangeKeys(file, id, r, e);
  ReadArchiverKeys(file, id, r, e);
  return record;
}

std::vector<std::string> ReadChildNames(CSettingsFile& file, int32_t parentId) {
  std::vector<std::string> names;
  std::string name;
  for (int32_t i = 0; file.EnumSection(parentId, i, name) != 0; ++i) {
    if (name.size() <= cfg::kMaxSectionName) names.push_back(name);
  }
  return names;
}

bool ReadTextValue(CSettingsFile& file, int32_t id, const std::string& name, std::string& out) {
  std::string bytes;
  if (!file.ReadBytes(id, name, bytes, cfg::kMaxTextBytes)) return false;
  if (bytes.size() > cfg::kMaxTextBytes) bytes.resize(cfg::kMaxTextBytes);
  out = bytes;
  return true;
}

bool ReadUInt32Value(CSettingsFile& file, int32_t id, const std::string& name, uint32_t& out) {
  std::string bytes;
  if (!file.ReadBytes(id, name, bytes, cfg::kMaxTextBytes)) return false;
  out = LittleEndian(bytes, 4);
  return true;
}

bool ReadInt32Value(CSettingsFile& file, int32_t id, const std::string& name, int32_t& out) {
  uint32_t v = 0;
  if (!ReadUInt32Value(file, id, name, v)) return false;
  out = static_cast<int32_t>(v);
  return true;
}

bool ReadByteValue(CSettingsFile& file, int32_t id, const std::string& name, uint8_t& out) {
  std::string bytes;
  if (!file.ReadBytes(id, name, bytes, cfg::kMaxTextBytes)) return false;
  out = static_cast<uint8_t>(LittleEndian(bytes, 1));
  return true;
}
