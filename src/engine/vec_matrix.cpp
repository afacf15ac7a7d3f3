#include "engine/vec_matrix.h"

#include <cmath>

#include "util/error_box.h"

namespace {
bool InRange(int i) {
    return i >= 0 && i < 4;
}
}  // namespace

double CVec::operator[](int i) const {
    if (!InRange(i)) {
        ErrorBox("Bad index for CVec operator[%d]", i);
        return 1.0;
    }
    return v_[i];
}

void CVec::setval(int i, double value) {
    if (!InRange(i)) {
        ErrorBox("Bad size in setval:%d", i);
        return;
    }
    v_[i] = value;
}

CVec CVec::operator+(const CVec& o) const {
    CVec r = *this;
    return r += o;
}

CVec CVec::operator-(const CVec& o) const {
    CVec r;
    for (int i = 0; i < 4; ++i)
        r.v_[i] = v_[i] - o.v_[i];
    return r;
}

CVec CVec::operator+(double d) const {
    CVec r;
    for (int i = 0; i < 4; ++i)
        r.v_[i] = v_[i] + d;
    return r;
}

CVec CVec::operator-(double d) const {
    CVec r;
    for (int i = 0; i < 4; ++i)
        r.v_[i] = v_[i] - d;
    return r;
}

CVec& CVec::operator+=(const CVec& o) {
    for (int i = 0; i < 4; ++i)
        v_[i] += o.v_[i];
    return *this;
}

CVec CVec::operator*(double d) const {
    CVec r = *this;
    return r *= d;
}

CVec& CVec::operator*=(double d) {
    for (double& c : v_)
        c *= d;
    return *this;
}

CMatrix::CMatrix() {
    setIdentity();
}

void CMatrix::setIdentity() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m_[r][c] = r == c ? 1.0 : 0.0;
}

double CMatrix::getval(int row, int col) const {
    if (!InRange(row)) {
        ErrorBox("CMatrix::getval, bad row:%d", row);
        return 1.0;
    }
    if (!InRange(col)) {
        ErrorBox("CMatrix::getval, bad column:%d", col);
        return 1.0;
    }
    return m_[row][col];
}

void CMatrix::setval(int row, int col, double value) {
    if (!InRange(row)) {
        ErrorBox("CMatrix::setval, bad row:%d", row);
        return;
    }
    if (!InRange(col)) {
        ErrorBox("CMatrix::setval, bad column:%d", col);
        return;
    }
    m_[row][col] = value;
}

CMatrix CMatrix::operator+(const CMatrix& o) const {
    CMatrix r = *this;
    return r += o;
}

CMatrix& CMatrix::operator+=(const CMatrix& o) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m_[r][c] += o.m_[r][c];
    return *this;
}

CMatrix CMatrix::operator*(const CMatrix& o) const {
    CMatrix p;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += m_[r][k] * o.m_[k][c];
            p.m_[r][c] = sum;
        }
    }
    return p;
}

void CMatrix::rotation(double angle, int axis) {
    setIdentity();
    if (axis < 0 || axis > 2) {
        ErrorBox("CMatrix::rotation, bad axis:%d", axis);
        return;
    }
    const int a = (axis + 1) % 3;
    const int b = (axis + 2) % 3;
    m_[a][a] = m_[b][b] = std::cos(angle);
    m_[b][a] = std::sin(angle);
    m_[a][b] = -std::sin(angle);
}

void CMatrix::scale(double s) {
    scale(s, s, s);
}

void CMatrix::scale(double sx, double sy, double sz) {
    setIdentity();
    m_[0][0] = sx;
    m_[1][1] = sy;
    m_[2][2] = sz;
}

void CMatrix::translation(double tx, double ty, double tz) {
    setIdentity();
    m_[0][3] = tx;
    m_[1][3] = ty;
    m_[2][3] = tz;
}

CVec CMatrix::transform(const CVec& p, bool translate) const {
    double out[3];
    for (int r = 0; r < 3; ++r) {
        out[r] = m_[r][0] * p[0] + m_[r][1] * p[1] + m_[r][2] * p[2];
        if (translate) out[r] += m_[r][3];
    }
    return CVec(out[0], out[1], out[2]);
}

CVec CMatrix::transformPoint(const CVec& p) const {
    return transform(p, true);
}

CVec CMatrix::transformDirection(const CVec& d) const {
    return transform(d, false);
}
