// A small homogeneous vector and 4 × 4 matrix for the Xforms' geometry.
#pragma once

class CVec {
  public:
    CVec() = default;
    CVec(double x, double y, double z) : v_{x, y, z, 0.0} {}

    // i in 0..3; otherwise a message and 1.0.
    double operator[](int i) const;
    // i in 0..3; otherwise a message and nothing set.
    void setval(int i, double value);

    CVec operator+(const CVec& o) const;
    CVec operator-(const CVec& o) const;
    CVec operator+(double d) const;
    CVec operator-(double d) const;
    CVec& operator+=(const CVec& o);
    CVec operator*(double d) const;
    CVec& operator*=(double d);

  private:
    double v_[4] = {0.0, 0.0, 0.0, 0.0};  // x, y, z, w
};

class CMatrix {
  public:
    CMatrix();  // identity

    // row and col in 0..3; otherwise a message and 1.0 (getval) or nothing set.
    double getval(int row, int col) const;
    void setval(int row, int col, double value);

    CMatrix operator+(const CMatrix& o) const;
    CMatrix& operator+=(const CMatrix& o);
    CMatrix operator*(const CMatrix& o) const;  // this × o

    // Each of these first makes the matrix the identity. axis 0, 1, 2 = x,
    // y, z; right-handed (for z: x' = x cos - y sin, y' = x sin + y cos).
    void rotation(double angle, int axis);
    void scale(double s);
    void scale(double sx, double sy, double sz);
    void translation(double tx, double ty, double tz);

    // x, y, z through the matrix, w = 0; a direction ignores the translation.
    CVec transformPoint(const CVec& p) const;
    CVec transformDirection(const CVec& d) const;

  private:
    void setIdentity();
    CVec transform(const CVec& p, bool translate) const;

    double m_[4][4];  // [row][column]
};
