#include "world/CMeshShape.h"

#include <BulletCollision/CollisionShapes/btOptimizedBvh.h>
#include <BulletCollision/CollisionShapes/btStridingMeshInterface.h>
#include <cmath>
#include <vector>

namespace {

// One part of a mesh, locked for reading while the object lives.
struct SLockedPart {
    SLockedPart(const btStridingMeshInterface* mesh, int part) : mesh(mesh), part(part)
    {
        mesh->getLockedReadOnlyVertexIndexBase(&vertices, vertexCount, vertexType, vertexStride,
                                               &indices, indexStride, triangleCount, indexType, part);
    }
    ~SLockedPart() { mesh->unLockReadOnlyVertexBase(part); }
    SLockedPart(const SLockedPart&) = delete;
    SLockedPart& operator=(const SLockedPart&) = delete;

    const btStridingMeshInterface* mesh;
    int part;
    const unsigned char* vertices = nullptr;
    const unsigned char* indices = nullptr;
    int vertexCount = 0, vertexStride = 0, indexStride = 0, triangleCount = 0;
    PHY_ScalarType vertexType = PHY_FLOAT, indexType = PHY_INTEGER;
};

// Calls visit(triangle, part, index) for every triangle, in the order and with the scaling the
// physics library uses when it walks a mesh. False, part of the way through, when a part holds
// vertices that are not floats, indices that are neither 32 nor 16 bits, or an index past its
// vertices.
template <typename Visit>
bool forEachTriangle(const btStridingMeshInterface* mesh, Visit visit)
{
    const btVector3 scaling = mesh->getScaling();
    for (int part = 0; part < mesh->getNumSubParts(); ++part) {
        const SLockedPart locked(mesh, part);
        const bool wide = locked.indexType == PHY_INTEGER;
        bool usable = locked.vertexType == PHY_FLOAT && (wide || locked.indexType == PHY_SHORT);
        for (int t = 0; usable && t < locked.triangleCount; ++t) {
            const unsigned char* entry = locked.indices + static_cast<size_t>(t) * locked.indexStride;
            btVector3 triangle[3];
            for (int k = 0; usable && k < 3; ++k) {
                const unsigned int index = wide ? reinterpret_cast<const unsigned int*>(entry)[k]
                                                : reinterpret_cast<const unsigned short*>(entry)[k];
                usable = index < static_cast<unsigned int>(locked.vertexCount);
                if (usable) {
                    const float* p = reinterpret_cast<const float*>(
                        locked.vertices + static_cast<size_t>(index) * locked.vertexStride);
                    triangle[k].setValue(p[0] * scaling.getX(), p[1] * scaling.getY(), p[2] * scaling.getZ());
                }
            }
            if (usable)
                visit(triangle, part, t);
        }
        if (!usable)
            return false;
    }
    return true;
}

int triangleCount(const btStridingMeshInterface* mesh)
{
    int total = 0;
    for (int part = 0; part < mesh->getNumSubParts(); ++part)
        total += SLockedPart(mesh, part).triangleCount;
    return total;
}

bool plainNumber(btScalar value)
{
    return std::isfinite(value) && std::fabs(value) < BT_LARGE_FLOAT;
}

// The mesh's bounds exactly as the library's shape finds them (for each axis the first vertex that
// lies furthest out, widened by the margin of 0 a new shape has), in one pass in place of six, and
// handed to the mesh, which the shape takes them from. Left to the library when a coordinate is
// not a plain number, where its own search behaves differently, or when there is no triangle.
btStridingMeshInterface* withBounds(btStridingMeshInterface* mesh)
{
    if (!mesh || mesh->hasPremadeAabb())
        return mesh;
    btVector3 low(BT_LARGE_FLOAT, BT_LARGE_FLOAT, BT_LARGE_FLOAT);
    btVector3 high(-BT_LARGE_FLOAT, -BT_LARGE_FLOAT, -BT_LARGE_FLOAT);
    bool plain = true;
    int triangles = 0;
    const bool walked = forEachTriangle(mesh, [&](const btVector3* triangle, int, int) {
        ++triangles;
        for (int k = 0; k < 3; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                const btScalar value = triangle[k][axis];
                plain = plain && plainNumber(value);
                if (value > high[axis])
                    high[axis] = value;
                if (value < low[axis])
                    low[axis] = value;
            }
        }
    });
    if (!walked || !plain || triangles == 0)
        return mesh;
    // The library widens them by the new shape's margin. It is 0, but adding it turns a -0 into
    // +0, so it is added here too.
    const btScalar margin = btScalar(0.);
    for (int axis = 0; axis < 3; ++axis) {
        high[axis] = high[axis] + margin;
        low[axis] = low[axis] - margin;
    }
    mesh->setPremadeAabb(low, high);
    return mesh;
}

// The library's quantized tree, built by the library's own rules: the same leaves, the same split
// axis and place for every node (from the same sums in the same order), the same node bounds,
// escape indices and subtree headers. Only the work differs: a leaf's centre and its bounds as a
// node sees them are found once, not once per level; the split moves a small record of centre
// and leaf number rather than the leaf; and a node's bounds are gathered from its children rather
// than from all its leaves again.
class CQuickTree : public btOptimizedBvh {
public:
    // False, with nothing built, for a mesh outside what forEachTriangle takes, with a coordinate
    // that is not a plain number, or with no triangle.
    bool build(const btStridingMeshInterface* mesh, const btVector3& low, const btVector3& high)
    {
        setQuantizationValues(low, high);
        const int expected = triangleCount(mesh);
        m_quantizedLeafNodes.reserve(expected);
        entries.reserve(expected);
        leafBounds.reserve(expected);
        bool plain = true;
        const bool walked = forEachTriangle(mesh, [&](const btVector3* triangle, int part, int index) {
            for (int k = 0; k < 3; ++k)
                plain = plain && plainNumber(triangle[k].x()) && plainNumber(triangle[k].y()) &&
                        plainNumber(triangle[k].z());
            if (plain)
                addLeaf(triangle, part, index);
        });
        const int leaves = m_quantizedLeafNodes.size();
        if (!walked || !plain || leaves == 0) {
            m_quantizedLeafNodes.clear();
            return false;
        }
        quantize(emptyBounds.low, m_bvhAabbMax, 0);
        quantize(emptyBounds.high, m_bvhAabbMin, 1);

        m_quantizedContiguousNodes.resize(2 * leaves);
        m_curNodeIndex = 0;
        buildSubtree(0, leaves);
        // A tree smaller than one subtree still needs a header for the whole of it.
        if (!m_SubtreeHeaders.size()) {
            btBvhSubtreeInfo& subtree = m_SubtreeHeaders.expand();
            subtree.setAabbFromQuantizeNode(m_quantizedContiguousNodes[0]);
            subtree.m_rootNodeIndex = 0;
            subtree.m_subtreeSize = m_quantizedContiguousNodes[0].isLeafNode()
                                        ? 1 : m_quantizedContiguousNodes[0].getEscapeIndex();
        }
        m_subtreeHeaderCount = m_SubtreeHeaders.size();
        m_quantizedLeafNodes.clear();
        m_leafNodes.clear();
        std::vector<SEntry>().swap(entries);
        std::vector<SBounds>().swap(leafBounds);
        return true;
    }

private:
    struct SBounds {
        unsigned short low[3];
        unsigned short high[3];
    };
    // A leaf as the split sees it: its centre, from its quantized box, and where it is kept.
    struct SEntry {
        btScalar centre[3];
        int leaf;
    };

    void addLeaf(const btVector3* triangle, int part, int index)
    {
        btVector3 low(BT_LARGE_FLOAT, BT_LARGE_FLOAT, BT_LARGE_FLOAT);
        btVector3 high(-BT_LARGE_FLOAT, -BT_LARGE_FLOAT, -BT_LARGE_FLOAT);
        for (int k = 0; k < 3; ++k) {
            low.setMin(triangle[k]);
            high.setMax(triangle[k]);
        }
        // A flat triangle still gets a box of some thickness.
        const btScalar kThinnest = btScalar(0.002);
        const btScalar kHalfThinnest = btScalar(0.001);
        for (int axis = 0; axis < 3; ++axis) {
            if (high[axis] - low[axis] < kThinnest) {
                high[axis] = high[axis] + kHalfThinnest;
                low[axis] = low[axis] - kHalfThinnest;
            }
        }
        btQuantizedBvhNode node;
        quantize(&node.m_quantizedAabbMin[0], low, 0);
        quantize(&node.m_quantizedAabbMax[0], high, 1);
        node.m_escapeIndexOrTriangleIndex = (part << (31 - MAX_NUM_PARTS_IN_BITS)) | index;

        // What the library works out from the stored leaf on every level of the tree.
        const btVector3 storedLow = unQuantize(&node.m_quantizedAabbMin[0]);
        const btVector3 storedHigh = unQuantize(&node.m_quantizedAabbMax[0]);
        const btVector3 centre = btScalar(0.5) * (storedHigh + storedLow);
        SBounds gathered;
        quantize(gathered.low, storedLow, 0);
        quantize(gathered.high, storedHigh, 1);
        entries.push_back({{centre[0], centre[1], centre[2]}, m_quantizedLeafNodes.size()});
        leafBounds.push_back(gathered);
        m_quantizedLeafNodes.push_back(node);
    }

    static void widen(SBounds& into, const SBounds& by)
    {
        for (int axis = 0; axis < 3; ++axis) {
            if (into.low[axis] > by.low[axis])
                into.low[axis] = by.low[axis];
            if (into.high[axis] < by.high[axis])
                into.high[axis] = by.high[axis];
        }
    }

    // Builds the nodes of entries [start, end) from m_curNodeIndex on; returns the bounds that
    // their parent gathers from them.
    SBounds buildSubtree(int start, int end)
    {
        const int count = end - start;
        const int first = m_curNodeIndex;
        if (count == 1) {
            const int leaf = entries[start].leaf;
            m_quantizedContiguousNodes[m_curNodeIndex] = m_quantizedLeafNodes[leaf];
            m_curNodeIndex++;
            return leafBounds[leaf];
        }
        // The axis of the widest spread of the centres, the split at their mean; the sums are
        // the library's, component by component and in the same order.
        btScalar meanX = btScalar(0.), meanY = btScalar(0.), meanZ = btScalar(0.);
        for (int i = start; i < end; ++i) {
            meanX += entries[i].centre[0];
            meanY += entries[i].centre[1];
            meanZ += entries[i].centre[2];
        }
        const btScalar toMean = btScalar(1.) / (btScalar)count;
        meanX *= toMean;
        meanY *= toMean;
        meanZ *= toMean;
        btScalar spreadX = btScalar(0.), spreadY = btScalar(0.), spreadZ = btScalar(0.);
        for (int i = start; i < end; ++i) {
            const btScalar dx = entries[i].centre[0] - meanX;
            const btScalar dy = entries[i].centre[1] - meanY;
            const btScalar dz = entries[i].centre[2] - meanZ;
            spreadX += dx * dx;
            spreadY += dy * dy;
            spreadZ += dz * dz;
        }
        const btScalar toVariance = btScalar(1.) / ((btScalar)count - 1);
        spreadX *= toVariance;
        spreadY *= toVariance;
        spreadZ *= toVariance;
        const int axis = spreadX < spreadY ? (spreadY < spreadZ ? 2 : 1) : (spreadX < spreadZ ? 2 : 0);
        const btScalar means[3] = {meanX, meanY, meanZ};
        const btScalar splitValue = means[axis];
        int split = start;
        for (int i = start; i < end; ++i) {
            if (entries[i].centre[axis] > splitValue) {
                std::swap(entries[i], entries[split]);
                split++;
            }
        }
        // A lopsided split halves the leaves instead, which keeps the tree shallow.
        const int balanced = count / 3;
        if (split <= start + balanced || split >= end - 1 - balanced)
            split = start + (count >> 1);

        const int node = m_curNodeIndex;
        m_curNodeIndex++;
        const int left = m_curNodeIndex;
        SBounds gathered = buildSubtree(start, split);
        const int right = m_curNodeIndex;
        widen(gathered, buildSubtree(split, end));

        SBounds bounds = emptyBounds;
        widen(bounds, gathered);
        btQuantizedBvhNode& written = m_quantizedContiguousNodes[node];
        for (int a = 0; a < 3; ++a) {
            written.m_quantizedAabbMin[a] = bounds.low[a];
            written.m_quantizedAabbMax[a] = bounds.high[a];
        }
        const int escapeIndex = m_curNodeIndex - first;
        const int treeSizeInBytes = escapeIndex * static_cast<int>(sizeof(btQuantizedBvhNode));
        if (treeSizeInBytes > MAX_SUBTREE_SIZE_IN_BYTES)
            updateSubtreeHeaders(left, right);
        setInternalNodeEscapeIndex(node, escapeIndex);
        return gathered;
    }

    std::vector<SEntry> entries;      // in the order the split has put the leaves
    std::vector<SBounds> leafBounds;  // by leaf: its bounds quantized again, as a node gathers them
    SBounds emptyBounds{};            // where a node's bounds start before its leaves widen them
};

} // namespace

CMeshShape::CMeshShape(btStridingMeshInterface* mesh)
    : btBvhTriangleMeshShape(withBounds(mesh), true, false), tree(nullptr)
{
    CQuickTree* quick = new CQuickTree();
    if (quick->build(mesh, m_localAabbMin, m_localAabbMax)) {
        tree = quick;
        setOptimizedBvh(tree, getLocalScaling());
    } else {
        delete quick;
        buildOptimizedBvh();
    }
}

CMeshShape::~CMeshShape()
{
    delete tree;
}
