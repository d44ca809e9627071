#pragma once
// The state of the list shown on the File Lists tab: the name of its list
// file and whether everything shown has been saved.

#include <QString>

namespace velmora {

struct TListFileStatus {
    QString Name;
    bool Saved = true;
};

} // namespace velmora
