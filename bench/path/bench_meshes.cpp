#include "bench_meshes.h"

#include <cmath>
#include <random>
#include <vector>

TMeshSource MakeBenchRoom(int triangles, uint32_t seed)
{
    std::mt19937 random(seed);
    const int cellsWanted = triangles * 6 / 10;  // a fifth of the cells become obstacles
    const int columns = int(std::sqrt(cellsWanted * 1.3)), rows = (cellsWanted + columns - 1) / columns;
    const int step = 24;
    std::vector<char> blocked(size_t(columns * rows), 0);
    int free = columns * rows;
    while (free * 2 > triangles + 1) {
        const int w = 1 + int(random() % 3), h = 1 + int(random() % 3);
        const int x = int(random() % columns), y = int(random() % rows);
        // Keep a free ring round each obstacle so that the floor stays in one piece.
        bool clear = true;
        for (int cy = y - 1; cy <= y + h && clear; ++cy)
            for (int cx = x - 1; cx <= x + w && clear; ++cx)
                if (cx >= 0 && cy >= 0 && cx < columns && cy < rows && blocked[size_t(cy * columns + cx)])
                    clear = false;
        if (!clear || x + w > columns || y + h > rows)
            continue;
        for (int cy = y; cy < y + h; ++cy)
            for (int cx = x; cx < x + w; ++cx)
                blocked[size_t(cy * columns + cx)] = 1, --free;
    }
    TMeshSource mesh;
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= columns; ++x)
            mesh.vertices.push_back({int16_t(x * step), int16_t(y * step)});
    auto at = [&](int x, int y) { return y * (columns + 1) + x; };
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            if (blocked[size_t(y * columns + x)])
                continue;
            mesh.triangles.push_back({{at(x, y), at(x + 1, y), at(x + 1, y + 1)}, -1, -1});
            mesh.triangles.push_back({{at(x, y), at(x + 1, y + 1), at(x, y + 1)}, -1, -1});
        }
    return mesh;
}
