// Raw data tags of the sample data: a base file, a local override and a plugin.
#include <string>

#include "build/sample_data.h"

namespace {

std::vector<uint8_t> Text(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

} // namespace

void add_sample_raw_data(TSampleData& data)
{
    data.add(data.base(), "rawd"_4cc, "read", "readme",
             Text("Sample data for the editor: base tags, local tags and a plugin.\n"));
    data.add(data.base(), "rawd"_4cc, "cred", "credits", Text("Made by the sample data generator.\n"));
    data.add(data.local("credits"), "rawd"_4cc, "cred", "credits (local)",
             Text("Local credits take precedence over the base file.\n"));
    data.add(data.plugin(), "rawd"_4cc, "note", "plugin note", Text("A plugin adds its own tags.\n"));
}
