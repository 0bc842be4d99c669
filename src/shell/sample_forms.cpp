// Tags for the text forms of the sample data: a template and a text, beside the
// string lists the gameplay part already makes.
#include <string>

#include "build/sample_data.h"

namespace {

std::vector<uint8_t> Text(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

} // namespace

void add_sample_forms(TSampleData& data)
{
    data.add(data.plugin(), "temp"_4cc, "ambu", "ambush template",
             Text("when: units_in_area\rthen: release_reserves\rdelay: 4\r"));
    data.add(data.plugin(), "text"_4cc, "brif", "valley briefing",
             Text("Hold the ford until the reinforcements arrive.\rThe dwarves are to keep to the ridge.\r"));
}
