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
  if (!file.ReadBytes(id, name, bytes, kMaxTextBytes)) return 0;
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
  WriteFlag(out, id, "CheckAndRepair", e.CheckAndRepair());
  if (e.CheckAndRepair() == 0) return;
  WriteFlag(out, id, "CheckAndRepairMode", e.CheckAndRepairMode);
  WriteFlag(out, id, "LinksCreatingMode", e.LinksCreatingMode);
  WriteFlag(out, id, "ObjectsCreatingMode", e.ObjectsCreatingMode);
  WriteFlag(out, id, "PhisicalIntegrity", e.PhisicalIntegrity);
  WriteFlag(out, id, "Reindex", e.Reindex);
  WriteFlag(out, id, "LogicalIntegrity", e.LogicalIntegrity);
  WriteFlag(out, id, "RecalcSecondaries", e.RecalcSecondaries);
  WriteFlag(out, id, "RecalcTotals", e.RecalcTotals);
  WriteFlag(out, id, "Pack", e.Pack);
}

void WriteExchangeKeys(RecordWriter& out, int32_t id, const InfobaseEntry& e) {
  WriteFlag(out, id, "AutoExchange", e.AutoExchange);
  if (e.AutoExchange == 0) return;
  out.Text(id, "ReadFrom", e.ReadFrom);
  out.Text(id, "WriteTo", e.WriteTo);
  WriteFlag(out, id, "SendByEmail", e.SendByEmail);
  if (e.SendByEmail == 0) return;
  out.Text(id, "ReceiveFrom", e.ReceiveFrom);
  out.Text(id, "SendTo", e.SendTo);
}

void WriteArchiverKeys(RecordWriter& out, int32_t id, const InfobaseEntry& e) {
  WriteFlag(out, id, "UseExternalArchiver", e.UseExternalArchiver);
  if (e.UseExternalArchiver == 0) return;
  out.Text(id, "ExternalArchiverName", e.ExternalArchiverName);
  out.Text(id, "ExternalArchiveExtention", e.ExternalArchiveExtention);
  out.Text(id, "ExternalArchiverParameters", e.ExternalArchiverParameters);
  const int32_t listId = out.Section("FileList", id);
  if (listId == 0) return;
  for (const std::string& name : e.FileList) out.Section(name, listId);
}

void ReadRepairKeys(CSettingsFile& file, int32_t id, RecordReader r, InfobaseEntry& e) {
  if (ReadFlag(file, id, "CheckAndRepair", r) == 0) return;
  e.CheckAndRepairMode = ReadFlag(file, id, "CheckAndRepairMode", r);
  e.LinksCreatingMode = ReadFlag(file, id, "LinksCreatingMode", r);
  e.ObjectsCreatingMode = ReadFlag(file, id, "ObjectsCreatingMode", r);
  e.PhisicalIntegrity = ReadFlag(file, id, "PhisicalIntegrity", r);
  e.Reindex = ReadFlag(file, id, "Reindex", r);
  e.LogicalIntegrity = ReadFlag(file, id, "LogicalIntegrity", r);
  e.RecalcSecondaries = ReadFlag(file, id, "RecalcSecondaries", r);
  e.RecalcTotals = ReadFlag(file, id, "RecalcTotals", r);
  e.Pack = ReadFlag(file, id, "Pack", r);
}

void ReadExchangeKeys(CSettingsFile& file, int32_t id, RecordReader r, InfobaseEntry& e) {
  e.AutoExchange = ReadFlag(file, id, "AutoExchange", r);
  if (e.AutoExchange != 0) {
    e.ReadFrom = ReadText(file, id, "ReadFrom");
    e.WriteTo = ReadText(file, id, "WriteTo");
  }
  e.SendByEmail = ReadFlag(file, id, "SendByEmail", r);
  if (r == RecordReader::Load || (e.AutoExchange != 0 && e.SendByEmail != 0)) {
    e.ReceiveFrom = ReadText(file, id, "ReceiveFrom");
    e.SendTo = ReadText(file, id, "SendTo");
  }
}

void ReadArchiverKeys(CSettingsFile& file, int32_t id, RecordReader r, InfobaseEntry& e) {
  e.UseExternalArchiver = ReadFlag(file, id, "UseExternalArchiver", r);
  if (e.UseExternalArchiver == 0) return;
  e.ExternalArchiverName = ReadText(file, id, "ExternalArchiverName");
  e.ExternalArchiveExtention = ReadText(file, id, "ExternalArchiveExtention");
  e.ExternalArchiverParameters = ReadText(file, id, "ExternalArchiverParameters");
  e.FileList.clear();
  const int32_t listId = file.OpenSection(id, "FileList");
  if (listId != 0) e.FileList = ReadChildNames(file, listId);
}

// Title, user, password and "State": a load takes the title only from a hand-added
// infobase and the rest only from a registered one; a run takes all of them.
void ReadIdentity(CSettingsFile& file, int32_t id, RecordReader r, InfobaseRecord& record) {
  InfobaseEntry& e = record.entry;
  const bool load = r == RecordReader::Load;
  if (!load || e.Type == 1) e.BaseName = ReadText(file, id, "BaseName");
  if (load && e.Type == 1) return;
  e.UserName = ReadText(file, id, "UserName");
  e.Pswd = ReadText(file, id, "Pswd");
  std::string bytes;
  record.hasState = file.ReadBytes(id, "State", bytes, kMaxTextBytes);
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
  out.Text(id, "BaseName", e.BaseName);
  out.Text(id, "UserName", e.UserName);
  out.Text(id, "Pswd", e.Pswd);
  WriteFlag(out, id, "State", 1);  // only marked infobases are written
  out.Dword(id, "Type", e.Type);
  out.Text(id, "DuplicateDirectory", e.DuplicateDirectory);
  out.Text(id, "ArchiveName", e.ArchiveName);
  WriteFlag(out, id, "SaveData", e.SaveData);
  WriteFlag(out, id, "UnloadData", e.UnloadData);
  if (e.UnloadData != 0) {
    WriteFlag(out, id, "IncludeUserDef", e.IncludeUserDef);
    out.Text(id, "PswdZIP", e.PswdZIP);
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
  ReadByteValue(file, id, "Type", type);
  e.Type = type;
  ReadIdentity(file, id, r, record);
  e.DuplicateDirectory = ReadText(file, id, "DuplicateDirectory");
  e.ArchiveName = ReadText(file, id, "ArchiveName");
  e.SaveData = ReadFlag(file, id, "SaveData", r);
  e.UnloadData = ReadFlag(file, id, "UnloadData", r);
  if (e.UnloadData != 0) {
    e.IncludeUserDef = ReadFlag(file, id, "IncludeUserDef", r);
    e.PswdZIP = ReadText(file, id, "PswdZIP");
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
    if (name.size() <= kMaxSectionName) names.push_back(name);
  }
  return names;
}

bool ReadTextValue(CSettingsFile& file, int32_t id, const std::string& name, std::string& out) {
  std::string bytes;
  if (!file.ReadBytes(id, name, bytes, kMaxTextBytes)) return false;
  if (bytes.size() > kMaxTextBytes) bytes.resize(kMaxTextBytes);
  out = bytes;
  return true;
}

bool ReadUInt32Value(CSettingsFile& file, int32_t id, const std::string& name, uint32_t& out) {
  std::string bytes;
  if (!file.ReadBytes(id, name, bytes, kMaxTextBytes)) return false;
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
  if (!file.ReadBytes(id, name, bytes, kMaxTextBytes)) return false;
  out = static_cast<uint8_t>(LittleEndian(bytes, 1));
  return true;
}
