// Checks shared by the fuzz targets of the resource readers: what a parsed
// resource set answers must agree with itself, and every dialog template and
// string-table block in it is read as the dialog manager and LoadStringA
// would read it.
#pragma once

namespace sim {
class ResourceSet;
}

namespace fuzz {

// Walks every resource type from 1 to 24: each name that Names() gives is
// found again by Find() (an "#id" name as that id, a text name in any ASCII
// letter case), every dialog is parsed, every string-table block is split,
// and every id of StringIds() has a text.
void CheckResourceSet(const sim::ResourceSet& set);

}  // namespace fuzz
