#include "ChainedRowSource.h"

namespace convodesk::data::query {

bool ChainedRowSource::next() {
    for (; current_ < parts_.size(); ++current_)
        if (parts_[current_]->next())
            return true;
    return false;
}

} // namespace convodesk::data::query
