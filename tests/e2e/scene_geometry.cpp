#include "scene_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace e2e {
namespace {

std::string formatEdge(const char* name, double expected, int observed, double sceneValue) {
    char text[160];
    std::snprintf(text, sizeof text, "%s expected %.1f px, observed %d px (%.2f units)", name,
                  expected, observed, sceneValue);
    return text;
}

}  // namespace

SceneBox boxAround(double centreX, double centreY, double halfWidth, double halfHeight) {
    return {centreX - halfWidth, centreY - halfHeight, centreX + halfWidth, centreY + halfHeight};
}

SceneView::SceneView(int width, int height)
    : width_(width), height_(height), pixelsPerUnit_(std::min(width, height) / VISIBLE_UNITS) {}

double SceneView::columnOf(double sceneX) const { return width_ / 2.0 + sceneX * pixelsPerUnit_; }

double SceneView::rowOf(double sceneY) const { return height_ / 2.0 - sceneY * pixelsPerUnit_; }

double SceneView::sceneXOf(double column) const { return (column - width_ / 2.0) / pixelsPerUnit_; }

double SceneView::sceneYOf(double row) const { return (height_ / 2.0 - row) / pixelsPerUnit_; }

Rect SceneView::pixelsOf(const SceneBox& box) const {
    const int left = static_cast<int>(std::floor(columnOf(box.left)));
    const int right = static_cast<int>(std::ceil(columnOf(box.right)));
    const int top = static_cast<int>(std::floor(rowOf(box.top)));
    const int bottom = static_cast<int>(std::ceil(rowOf(box.bottom)));
    return x11_harness::intersection(x11_harness::rectFromEdges(left, top, right, bottom),
                                     {0, 0, width_, height_});
}

SceneBox SceneView::visibleBox() const {
    return {sceneXOf(0), sceneYOf(height_), sceneXOf(width_), sceneYOf(0)};
}

testing::AssertionResult edgesMatch(const std::optional<Rect>& observed, const SceneBox& expected,
                                    const SceneView& view, double tolerancePx) {
    if (!observed) {
        return testing::AssertionFailure() << "nothing of that colour found";
    }
    struct Edge {
        const char* name;
        double expected;
        int observed;
        double sceneValue;
    };
    const Edge edges[] = {
        {"left", view.columnOf(expected.left), observed->x, view.sceneXOf(observed->x)},
        {"right", view.columnOf(expected.right), observed->right(),
         view.sceneXOf(observed->right())},
        {"top", view.rowOf(expected.top), observed->y, view.sceneYOf(observed->y)},
        {"bottom", view.rowOf(expected.bottom), observed->bottom(),
         view.sceneYOf(observed->bottom())},
    };
    bool allMatch = true;
    std::string report;
    for (const Edge& edge : edges) {
        const bool matches = std::abs(edge.observed - edge.expected) <= tolerancePx;
        allMatch = matches && allMatch;
        report += std::string(matches ? "  ok   " : "  FAIL ") +
                  formatEdge(edge.name, edge.expected, edge.observed, edge.sceneValue) + "\n";
    }
    auto result = allMatch ? testing::AssertionSuccess() : testing::AssertionFailure();
    return result << "edges (tolerance " << tolerancePx << " px):\n" << report;
}

}  // namespace e2e
