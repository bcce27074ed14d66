// Where a pixel of one cel of a cut lies in another: a similarity transform (shift, rotation and
// scale) for the drawing as a whole, plus a smooth local displacement for what moved on its own (an
// arm, the hair), kept as values on a grid of nodes and interpolated bilinearly between them.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// source = (a x - b y + tx, b x + a y + ty): a rotation by atan2(b, a) and a scale by hypot(a, b).
struct SSimilarity
{
    double a = 1.0;
    double b = 0.0;
    double tx = 0.0;
    double ty = 0.0;

    double Scale() const { return std::hypot(a, b); }
    double Angle() const { return std::atan2(b, a); }
    double X(double x, double y) const { return a * x - b * y + tx; }
    double Y(double x, double y) const { return b * x + a * y + ty; }
};

// A point of one cel known to lie at a point of the other, with the weight the fits give it.
struct SCorrespondence
{
    double x = 0.0, y = 0.0;    // in the cel the mapping starts from
    double sx = 0.0, sy = 0.0;  // in the cel it maps to
    double weight = 1.0;
};

// The similarity that maps the points onto their partners with the least weighted squared error;
// the identity when fewer than two points, or only coincident ones, carry weight.
SSimilarity FitSimilarity(const std::vector<SCorrespondence>& points);

class SCelMapping
{
public:
    // The identity over a width by height cel.
    SCelMapping(std::int32_t width, std::int32_t height);

    void SetGlobal(const SSimilarity& global) { global_ = global; }
    const SSimilarity& Global() const { return global_; }

    // Sets the local displacement from the points' residuals after the global transform: each node
    // takes the mean of the residuals around it, weighted by distance and the points' weights and
    // drawn towards 0 where few points speak for it, so an area without points follows the drawing
    // as a whole.
    void FitLocal(const std::vector<SCorrespondence>& points);

    // The source position of pixel (x, y), any coordinates.
    void Map(double x, double y, double& sx, double& sy) const;
    // The source pixels (rounded) of the pixels x0..x1-1 of row y, written to sx[0..] and sy[0..].
    void MapRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::int32_t* sx, std::int32_t* sy) const;

    // The grid of the local displacement: node (i, j) lies at pixel (i * Cell(), j * Cell()).
    std::int32_t Cell() const { return cell_; }
    std::int32_t Columns() const { return columns_; }
    std::int32_t Rows() const { return rows_; }
    void NodeShift(std::int32_t i, std::int32_t j, double& dx, double& dy) const
    {
        dx = dx_[Node(i, j)];
        dy = dy_[Node(i, j)];
    }
    void SetNodeShift(std::int32_t i, std::int32_t j, double dx, double dy)
    {
        dx_[Node(i, j)] = float(dx);
        dy_[Node(i, j)] = float(dy);
    }

private:
    // The local displacement at (x, y), bilinear between the nodes (constant beyond the outer ones).
    void Local(double x, double y, double& dx, double& dy) const;
    std::size_t Node(std::int32_t i, std::int32_t j) const { return std::size_t(j) * std::size_t(columns_) + std::size_t(i); }

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t cell_;  // pixels between nodes
    std::int32_t columns_;
    std::int32_t rows_;
    SSimilarity global_;
    std::vector<float> dx_;  // per node, columns_ by rows_
    std::vector<float> dy_;
};
