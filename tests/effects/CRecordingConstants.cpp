#include "CRecordingConstants.h"

namespace effectstest {

irr::s32 CRecordingConstants::lookUp(const irr::c8* name, bool vertex)
{
    const std::string key = std::string(vertex ? "v:" : "p:") + name;
    lookups.push_back(key);
    // Ids far from 0 and distinct per name, so that a value set by the wrong id shows.
    const irr::s32 id = 100 + static_cast<irr::s32>(names.size());
    names[id] = key;
    return id;
}

void CRecordingConstants::setFloats(bool vertex, irr::s32 id, const irr::f32* values, irr::s32 count)
{
    sets.push_back({vertex, id, std::vector<float>(values, values + count), {}});
}

void CRecordingConstants::setInts(bool vertex, irr::s32 id, const irr::s32* values, irr::s32 count)
{
    sets.push_back({vertex, id, {}, std::vector<irr::s32>(values, values + count)});
}

const SSetConstant* CRecordingConstants::find(const std::string& name, bool vertex) const
{
    const std::string key = std::string(vertex ? "v:" : "p:") + name;
    const SSetConstant* found = nullptr;
    for (const SSetConstant& set : sets) {
        auto it = names.find(set.id);
        if (it != names.end() && it->second == key && set.vertex == vertex)
            found = &set;
    }
    return found;
}

} // namespace effectstest
