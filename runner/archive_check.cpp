#include "runner/archive_check.h"

namespace {

const char* FaultText(ziparc::ZipFault fault) {
  using ziparc::ZipFault;
  switch (fault) {
    case ZipFault::None:
      return "";
    case ZipFault::Unreadable:
      return "архив не читается";
    case ZipFault::NoEndRecord:
      return "нет конца архива (архив обрезан)";
    case ZipFault::SplitArchive:
      return "многотомный архив";
    case ZipFault::BadZip64Record:
      return "повреждена запись ZIP64";
    case ZipFault::BadDirectory:
      return "повреждено оглавление архива";
    case ZipFault::BadLocalHeader:
      return "поврежден заголовок файла";
    case ZipFault::LocalHeaderDiffers:
      return "заголовок файла не совпадает с оглавлением";
    case ZipFault::DataOutOfPlace:
      return "данные файла за пределами архива";
    case ZipFault::BadEncryptionHeader:
      return "поврежден заголовок шифрования";
    case ZipFault::BadCompressedData:
      return "повреждены сжатые данные";
    case ZipFault::SizeMismatch:
      return "не совпадает размер файла";
    case ZipFault::CrcMismatch:
      return "не совпадает контрольная сумма CRC-32";
    case ZipFault::Aborted:
      return "проверка прервана";
  }
  return "";
}

// An entry name as the journal can hold it on one line.
std::string PrintableName(std::string name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  return name;
}

}  // namespace

bool IsZipArchivePath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".zip";
}

std::string DescribeZipFault(const ziparc::ZipCheckResult& result) {
  std::string text = FaultText(result.fault);
  if (!result.entry.empty()) text += ": " + PrintableName(result.entry);
  return text;
}

std::string DescribeUnchecked(unsigned unchecked) {
  std::string text;
  auto add = [&text](const char* reason) {
    text += (text.empty() ? "" : ", ") + std::string(reason);
  };
  if (unchecked & ziparc::kUncheckedNoPassword) add("не задан пароль архива");
  if (unchecked & ziparc::kUncheckedWrongPassword) add("пароль архива не подходит");
  if (unchecked & ziparc::kUncheckedEncryption) add("шифрование не поддерживается");
  if (unchecked & ziparc::kUncheckedMethod) add("метод сжатия не поддерживается");
  return text;
}

ArchiveVerdict VerifyZipArchive(const std::string& path, const std::string& password,
                                RunControl& control) {
  const ziparc::ZipCheckResult r =
      ziparc::CheckZipFile(path, {password, [&control] { return control.StopRequested(); }});
  if (r.fault == ziparc::ZipFault::Aborted) return ArchiveVerdict::Aborted;
  if (!r.Sound()) {
    control.Journal("Архив поврежден: \"" + path + "\" - " + DescribeZipFault(r));
    return ArchiveVerdict::Damaged;
  }
  if (r.unchecked != 0)
    control.Journal("Проверена только структура архива: \"" + path + "\" - " +
                    DescribeUnchecked(r.unchecked));
  return ArchiveVerdict::Sound;
}
