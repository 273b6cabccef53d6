// Writes a demonstration configuration through the configuration save:
//   demo_config.exe <configuration> <1C:Enterprise executable> <archive folder>
//                   <duplicate folder> <infobase folder>...
// Every infobase is added by hand and marked; the first gets save, unload and checks,
// the others save and a logical check. Three archive copies are kept.
#include <memory>

#include "config/configuration.h"
#include "platform/registry.h"
#include "tools/zorvan_run/console.h"
#include "tree/infobase_tree.h"

namespace {

InfobaseRecord DemoRecord(const std::string& folder, const std::string& duplicate, bool first) {
  InfobaseRecord record;
  record.hasState = true;
  record.State = 1;
  InfobaseEntry& e = record.entry;
  e.Type = InfobaseType::AddedByHand;
  e.path = folder + "\\";
  e.BaseName = folder.substr(folder.rfind('\\') + 1);
  e.DuplicateDirectory = duplicate;
  e.SaveData = 1;
  e.UnloadData = first ? 1 : 0;
  e.PhisicalIntegrity = first ? 1 : 0;
  e.Reindex = first ? 1 : 0;
  e.LogicalIntegrity = 1;
  return record;
}

}  // namespace

int main() {
  std::vector<std::string> args = console::Arguments();
  if (args.size() < 5) {
    console::PrintLine(
        "usage: demo_config.exe <configuration> <1C:Enterprise executable> "
        "<archive folder> <duplicate folder> <infobase folder>...",
        true);
    return 2;
  }
  std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  InfobaseTree tree(nullptr, nullptr);
  tree.RebuildFromRegistry(*registry);
  for (size_t i = 4; i < args.size(); ++i)
    tree.ApplyInfobaseRecord(
        DemoRecord(console::FullPath(args[i]), console::FullPath(args[3]), i == 4));

  Configuration config;
  config.options.BinaryDirectory = console::FullPath(args[1]);
  config.options.DestinationDirectory = console::FullPath(args[2]);
  config.options.CopyCount = 3;
  config.options.TimeOut = 5;

  ConfigurationSeams seams(
      *registry, [](const platform::FileError& e) { console::PrintLine(e.message, true); });
  seams.autoRun = true;  // leaves "LastConfig" alone
  seams.showError = [](const std::string& text) { console::PrintLine(text, true); };
  int written =
      SaveConfiguration(SaveTarget::CurrentFile, console::FullPath(args[0]), config, tree, seams);
  console::PrintLine("Infobases written: " + std::to_string(written));
  return written > 0 ? 0 : 1;
}
