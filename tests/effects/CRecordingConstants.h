#pragma once
// A stand-in for the constant services that records what a callback asks of them: each lookup by
// name, and each value set by id.
#include <irrlicht.h>
#include <map>
#include <string>
#include <vector>

#include "platform/IShaderConstantServices.h"

namespace effectstest {

struct SSetConstant {
    bool vertex;
    irr::s32 id;
    std::vector<float> floats;
    std::vector<irr::s32> ints;
};

class CRecordingConstants : public IShaderConstantServices {
public:
    explicit CRecordingConstants(irr::video::IVideoDriver* driver) : driver(driver) {}

    irr::s32 getVertexShaderConstantID(const irr::c8* name) override { return lookUp(name, true); }
    irr::s32 getPixelShaderConstantID(const irr::c8* name) override { return lookUp(name, false); }
    void setVertexShaderConstant(irr::s32 id, const irr::f32* v, irr::s32 n) override { setFloats(true, id, v, n); }
    void setVertexShaderConstant(irr::s32 id, const irr::s32* v, irr::s32 n) override { setInts(true, id, v, n); }
    void setPixelShaderConstant(irr::s32 id, const irr::f32* v, irr::s32 n) override { setFloats(false, id, v, n); }
    void setPixelShaderConstant(irr::s32 id, const irr::s32* v, irr::s32 n) override { setInts(false, id, v, n); }
    irr::video::IVideoDriver* getVideoDriver() override { return driver; }

    // The values last set under `name` (looked up with the stage `vertex`); null when never set.
    const SSetConstant* find(const std::string& name, bool vertex) const;
    void clear() { lookups.clear(); sets.clear(); names.clear(); }

    // "v:WVP" or "p:ShadowMap", in the order of the calls.
    std::vector<std::string> lookups;
    std::vector<SSetConstant> sets;

private:
    irr::s32 lookUp(const irr::c8* name, bool vertex);
    void setFloats(bool vertex, irr::s32 id, const irr::f32* values, irr::s32 count);
    void setInts(bool vertex, irr::s32 id, const irr::s32* values, irr::s32 count);

    irr::video::IVideoDriver* driver;
    std::map<irr::s32, std::string> names;
};

} // namespace effectstest
