#include "tools/meshtool/mesh_source.h"

#include <cmath>
#include <map>
#include <utility>

#include "tools/description/description_reader.h"
#include "tools/meshtool/triangulate.h"

namespace {

class TSourceParser
{
public:
    TSourceParser(const std::string& name, const std::string& text, TMeshSource* mesh)
        : mReader(name, text), mMesh(mesh)
    {
    }

    bool Run(std::string* error)
    {
        std::vector<std::string> words;
        bool ok = true;
        bool hasDepth = false;
        while (ok && mReader.Next(&words)) {
            const std::string& cmd = words[0];
            if (cmd == "version")
                ok = Version(words);
            else if (cmd == "vertex")
                ok = Vertex(words);
            else if (cmd == "tri" || cmd == "poly")
                ok = Polygon(words, cmd == "tri", &hasDepth);
            else
                ok = mReader.Fail("unknown command \"" + cmd + "\"");
        }
        if (ok && hasDepth && mMesh->version == 1)
            ok = mReader.FailAt(mDepthLine, "depth given, but version 1 files carry none");
        if (ok && mMesh->triangles.size() > 0xFFFFFFFFu)
            ok = mReader.Fail("too many triangles");
        *error = mReader.Error();
        return ok;
    }

private:
    bool Version(const std::vector<std::string>& words)
    {
        if (words.size() != 2 || (words[1] != "1" && words[1] != "2"))
            return mReader.Fail("version must be 1 or 2");
        mMesh->version = words[1] == "1" ? 1 : 2;
        return true;
    }

    bool Vertex(const std::vector<std::string>& words)
    {
        if (words.size() < 3)
            return mReader.Fail("vertex needs x and y");
        int index;
        if (!Coordinates(words[1], words[2], &index))
            return false;
        for (size_t i = 3; i < words.size(); ++i) {
            if (words[i].size() > 0xFFFF)
                return mReader.Fail("label too long");
            mMesh->vertexLabels[words[i]] = index;
        }
        return true;
    }

    bool Polygon(const std::vector<std::string>& words, bool triangle, bool* hasDepth)
    {
        std::vector<int> corners;
        int label = -1, depth = -1;
        for (size_t i = 1; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w.rfind("label=", 0) == 0) {
                if (!Label(w.substr(6), &label))
                    return false;
            } else if (w.rfind("depth=", 0) == 0) {
                double d;
                if (!mReader.NumberIn(w.substr(6), 0, 65534, &d, "depth") || d != std::floor(d))
                    return mReader.Fail("depth must be a whole number in 0..65534");
                depth = int(d);
                *hasDepth = true;
                mDepthLine = mReader.Line();
            } else {
                int index;
                if (!Point(w, &index))
                    return false;
                corners.push_back(index);
            }
        }
        if (triangle ? corners.size() != 3 : corners.size() < 3)
            return mReader.Fail(triangle ? "tri needs three points" : "poly needs at least three points");
        for (size_t i = 0; i < corners.size(); ++i)
            for (size_t j = i + 1; j < corners.size(); ++j)
                if (corners[i] == corners[j])
                    return mReader.Fail("a point is repeated");
        std::vector<TPoint2i> points;
        for (int c : corners)
            points.push_back({mMesh->vertices[size_t(c)].x, mMesh->vertices[size_t(c)].y});
        std::vector<std::array<int, 3>> pieces;
        if (!Triangulate(points, &pieces))
            return mReader.Fail(triangle ? "triangle has no area" : "polygon is not simple or has no area");
        for (const auto& piece : pieces) {
            TMeshSource::TTriangle t;
            for (int k = 0; k < 3; ++k)
                t.points[k] = corners[size_t(piece[size_t(k)])];
            t.label = label;
            t.depth = depth;
            mMesh->triangles.push_back(t);
        }
        return true;
    }

    bool Label(const std::string& name, int* label)
    {
        if (name.empty() || name.size() > 0xFFFF)
            return mReader.Fail("bad label");
        for (size_t i = 0; i < mMesh->labels.size(); ++i)
            if (mMesh->labels[i] == name)
                return *label = int(i), true;
        if (mMesh->labels.size() >= 0x7FFF)
            return mReader.Fail("too many labels");
        *label = int(mMesh->labels.size());
        mMesh->labels.push_back(name);
        return true;
    }

    bool Point(const std::string& word, int* index)
    {
        if (!word.empty() && word[0] == '@') {
            double n;
            if (!mReader.NumberIn(word.substr(1), 0, double(mMesh->vertices.size()) - 1, &n, "vertex number"))
                return false;
            if (n != std::floor(n))
                return mReader.Fail("vertex number must be whole");
            *index = int(n);
            return true;
        }
        const size_t comma = word.find(',');
        if (comma == std::string::npos)
            return mReader.Fail("point \"" + word + "\" is not x,y or @n");
        return Coordinates(word.substr(0, comma), word.substr(comma + 1), index);
    }

    bool Coordinates(const std::string& xs, const std::string& ys, int* index)
    {
        double x, y;
        if (!mReader.Number(xs, &x, "x") || !mReader.Number(ys, &y, "y"))
            return false;
        x = std::round(x), y = std::round(y);
        if (x < -32768 || x > 32767 || y < -32768 || y > 32767)
            return mReader.Fail("point " + xs + "," + ys + " is outside the 16-bit range");
        const std::pair<int, int> key{int(x), int(y)};
        const auto it = mWeld.find(key);
        if (it != mWeld.end())
            return *index = it->second, true;
        if (mMesh->vertices.size() >= 0xFFFF)
            return mReader.Fail("too many vertices");
        *index = int(mMesh->vertices.size());
        mMesh->vertices.push_back({int16_t(x), int16_t(y)});
        mWeld[key] = *index;
        return true;
    }

    TDescriptionReader mReader;
    TMeshSource* mMesh;
    std::map<std::pair<int, int>, int> mWeld;
    int mDepthLine = 0;
};

}  // namespace

bool ParseMeshSource(const std::string& sourceName, const std::string& text, TMeshSource* mesh, std::string* error)
{
    *mesh = TMeshSource();
    return TSourceParser(sourceName, text, mesh).Run(error);
}
