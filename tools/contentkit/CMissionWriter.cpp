#include "tools/contentkit/CMissionWriter.h"

#include <cstdio>

#include "tools/contentkit/CContentFile.h"
#include "tools/contentkit/CNumberText.h"

namespace contentkit {

namespace {

const char* const kDeclaration = "<?xml version=\"1.0\"?>\n\n";

// Builds one document; remembers whether every number it was given could be written.
class CXmlText {
public:
    std::string text;
    bool finite = true;

    // The engine library's reader turns these five entities back into their characters.
    static std::string escape(const std::string& value)
    {
        std::string out;
        for (char c : value) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
            }
        }
        return out;
    }

    void open(const char* indent, const char* element) { text += indent; text += '<'; text += element; }
    void attribute(const char* name, const std::string& value)
    {
        text += ' ';
        text += name;
        text += "=\"";
        text += escape(value);
        text += '"';
    }
    void attribute(const char* name, float value) { attribute(name, CNumberText::fromFloat(value, &finite)); }
    void attribute(const char* name, int value) { attribute(name, CNumberText::fromInt(value)); }
    void closeEmpty() { text += "/>\n"; }

    template <typename T>
    void valueElement(const char* indent, const char* element, const char* name, const T& value)
    {
        open(indent, element);
        attribute(name, value);
        closeEmpty();
    }

    void vectorElement(const char* indent, const char* element, const SVec3& v)
    {
        open(indent, element);
        attribute("X", v.x);
        attribute("Y", v.y);
        attribute("Z", v.z);
        closeEmpty();
    }
};

const char* elementName(EObjectKind kind)
{
    switch (kind) {
    case EObjectKind::Item: return "Item";
    case EObjectKind::Vehicle: return "Vehicle";
    case EObjectKind::StaticObject: break;
    }
    return "StaticObject";
}

void writeFields(CXmlText& xml, const SObjectRecord& o)
{
    const char* in = "\t";
    if (o.displayName) xml.valueElement(in, "DisplayName", "Value", *o.displayName);
    if (o.mesh) xml.valueElement(in, "Mesh", "Value", *o.mesh);
    if (o.wheelFL) xml.valueElement(in, "WheelFL", "Value", *o.wheelFL);
    if (o.wheelFR) xml.valueElement(in, "WheelFR", "Value", *o.wheelFR);
    if (o.wheelBL) xml.valueElement(in, "WheelBL", "Value", *o.wheelBL);
    if (o.wheelBR) xml.valueElement(in, "WheelBR", "Value", *o.wheelBR);
    if (o.position) xml.vectorElement(in, "Position", *o.position);
    if (o.rotation) xml.vectorElement(in, "Rotation", *o.rotation);
    if (o.scale) xml.vectorElement(in, "Scale", *o.scale);
    if (o.offset) xml.vectorElement(in, "Offset", *o.offset);
    if (o.transparent) xml.valueElement(in, "Transparent", "Value", *o.transparent);
    if (o.mapping) xml.valueElement(in, "Mapping", "Type", *o.mapping);
    for (const std::string& texture : o.textures)
        xml.valueElement(in, "Texture", "Value", texture);
    if (o.boost) xml.valueElement(in, "Boost", "Value", *o.boost);
    if (o.effectTime) xml.valueElement(in, "EffectTime", "Value", *o.effectTime);
    if (o.respawnTime) xml.valueElement(in, "RespawnTime", "Value", *o.respawnTime);
    if (o.itemType) xml.valueElement(in, "Type", "Value", *o.itemType);
    if (o.maxEngineForce) xml.valueElement(in, "MaxEngineForce", "Value", *o.maxEngineForce);
    if (o.maxBreakingForce) xml.valueElement(in, "MaxBreakingForce", "Value", *o.maxBreakingForce);
    if (o.maxVelocity) xml.valueElement(in, "MaxVelocity", "Value", *o.maxVelocity);
    if (o.color) {
        xml.open(in, "Color");
        xml.attribute("R", o.color->r);
        xml.attribute("G", o.color->g);
        xml.attribute("B", o.color->b);
        xml.attribute("A", o.color->a);
        xml.closeEmpty();
    }
    if (o.physic) {
        xml.open(in, "Physic");
        xml.attribute("Type", o.physic->type);
        xml.attribute("Mesh", o.physic->mesh);
        xml.attribute("X", o.physic->size.x);
        xml.attribute("Y", o.physic->size.y);
        xml.attribute("Z", o.physic->size.z);
        xml.attribute("Mass", o.physic->mass);
        xml.closeEmpty();
    }
    if (o.controller) xml.valueElement(in, "Controller", "Type", *o.controller);
    if (o.engineSound) xml.valueElement(in, "EngineSound", "Value", *o.engineSound);
}

void writeObject(CXmlText& xml, const SObjectRecord& o)
{
    const char* element = elementName(o.kind);
    xml.open("", element);
    xml.attribute("Name", o.name);
    if (o.parentName)
        xml.attribute("ParentName", *o.parentName);
    if (o.kind == EObjectKind::Item)
        xml.closeEmpty();
    else
        xml.text += ">\n";
    writeFields(xml, o);
    xml.text += "</";
    xml.text += element;
    xml.text += ">\n";
}

CXmlText buildMission(const SMission& m)
{
    CXmlText xml;
    xml.text = kDeclaration;
    bool rules = false;
    if (m.shadowType) { xml.valueElement("", "ShadowType", "Value", *m.shadowType); rules = true; }
    if (m.raceType) { xml.valueElement("", "RaceType", "Value", *m.raceType); rules = true; }
    if (m.laps) { xml.valueElement("", "Laps", "Value", *m.laps); rules = true; }
    for (int time : m.rallyTimes) { xml.valueElement("", "RallyTime", "Value", time); rules = true; }
    if (m.navigation) { xml.valueElement("", "Navigation", "Path", *m.navigation); rules = true; }

    if (!m.checkpoints.empty()) {
        if (rules)
            xml.text += '\n';
        for (const SCheckpointRecord& os : m.checkpoints) {
            xml.open("", "OS");
            xml.attribute("ID", os.id);
            xml.attribute("Mesh", os.mesh);
            xml.closeEmpty();
        }
        rules = true;
    }
    for (const SObjectRecord& object : m.objects) {
        if (rules)
            xml.text += '\n';
        writeObject(xml, object);
        rules = true;
    }
    return xml;
}

CXmlText buildWaypoints(const std::vector<std::string>& pathFiles)
{
    CXmlText xml;
    xml.text = kDeclaration;
    for (const std::string& path : pathFiles)
        xml.valueElement("", "Waypoints", "Path", path);
    return xml;
}

// The layout the game's waypoint recorder writes: declaration, blank line, a point a line.
CXmlText buildPath(const std::vector<SVec3>& points)
{
    CXmlText xml;
    xml.text = kDeclaration;
    for (const SVec3& point : points)
        xml.vectorElement("", "Waypoint", point);
    return xml;
}

bool save(const std::string& file, const CXmlText& xml)
{
    if (!xml.finite)
        printf("Warning: \"%s\": a number that is not finite was written as 0\n", file.c_str());
    return CContentFile::write(file, xml.text);
}

} // namespace

std::string CMissionWriter::missionText(const SMission& mission) { return buildMission(mission).text; }
std::string CMissionWriter::waypointsText(const std::vector<std::string>& pathFiles) { return buildWaypoints(pathFiles).text; }
std::string CMissionWriter::pathText(const std::vector<SVec3>& points) { return buildPath(points).text; }

bool CMissionWriter::writeMission(const std::string& file, const SMission& mission)
{
    return save(file, buildMission(mission));
}

bool CMissionWriter::writeWaypoints(const std::string& file, const std::vector<std::string>& pathFiles)
{
    return save(file, buildWaypoints(pathFiles));
}

bool CMissionWriter::writePath(const std::string& file, const std::vector<SVec3>& points)
{
    return save(file, buildPath(points));
}

} // namespace contentkit
