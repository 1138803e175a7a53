#pragma once

#include <string>
#include <vector>

namespace vexlor::demo {

// strings.txt: a few lines that say what the file is, then the marker line that names craft 1
// and one line for each of crafts 2 to 218; CR LF line ends.
std::string DemoStringsText();

// resdata.txt naming each library as "Resdata\" + its file name; CR LF line ends.
std::string DemoResourceListText(const std::vector<std::string>& libraryFileNames);

}  // namespace vexlor::demo
