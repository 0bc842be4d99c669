// The resources built into the program (the resources/ folder): view resources
// from views/NNN.txt, menu bars from menus/NNN.txt, pictures from pictures/NNN.png
// and icons from icons/NNN.xpm, registered under their numbers.
#pragma once

#include <string>

// Registers every embedded resource once; a view or menu text that does not parse
// raises an error naming the file and the line.
void XGLoadEmbeddedResources();
// The same files under folder (an installed program's resources), registered over
// the built-in ones; a missing folder or subfolder adds nothing.
void XGLoadResourceFolder(const std::string& folder);
