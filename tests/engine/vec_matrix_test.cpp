#include <gtest/gtest.h>

#include <cmath>

#include "engine/vec_matrix.h"
#include "support/message_capture.h"

namespace {
void ExpectVec(const CVec& v, double x, double y, double z, double w) {
    EXPECT_DOUBLE_EQ(v[0], x);
    EXPECT_DOUBLE_EQ(v[1], y);
    EXPECT_DOUBLE_EQ(v[2], z);
    EXPECT_DOUBLE_EQ(v[3], w);
}
}  // namespace

TEST(CVecTest, ArithmeticCoversAllFourComponents) {
    CVec a(1, 2, 3);
    a.setval(3, 4);
    ExpectVec(a + CVec(1, 1, 1), 2, 3, 4, 4);
    ExpectVec(a + 1.0, 2, 3, 4, 5);
    ExpectVec(a * 2.0, 2, 4, 6, 8);
    a *= 0.5;
    a += CVec(1, 0, 0);
    ExpectVec(a, 1.5, 1, 1.5, 2);
}

TEST(CVecTest, BadIndexesAreReportedAndChangeNothing) {
    MessageCapture capture;
    CVec v(5, 6, 7);
    EXPECT_EQ(v[4], 1.0);
    EXPECT_EQ(v[-1], 1.0);
    v.setval(7, 9.0);
    ExpectVec(v, 5, 6, 7, 0);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{"Bad index for CVec operator[4]",
                                                         "Bad index for CVec operator[-1]",
                                                         "Bad size in setval:7"}));
}

TEST(CMatrixTest, BadRowsAndColumnsAreReportedRowFirst) {
    MessageCapture capture;
    CMatrix m;
    EXPECT_EQ(m.getval(4, 9), 1.0);
    EXPECT_EQ(m.getval(0, -1), 1.0);
    m.setval(-1, 0, 5.0);
    m.setval(1, 4, 5.0);
    m.rotation(1.0, 3);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{
                                   "CMatrix::getval, bad row:4", "CMatrix::getval, bad column:-1",
                                   "CMatrix::setval, bad row:-1", "CMatrix::setval, bad column:4",
                                   "CMatrix::rotation, bad axis:3"}));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(m.getval(r, c), r == c ? 1.0 : 0.0);
}

TEST(CMatrixTest, RotationsAreRightHanded) {
    const double a = 0.3;
    CMatrix m;
    m.rotation(a, 2);
    ExpectVec(m.transformDirection(CVec(1, 0, 0)), std::cos(a), std::sin(a), 0, 0);
    m.rotation(a, 0);
    ExpectVec(m.transformDirection(CVec(0, 1, 0)), 0, std::cos(a), std::sin(a), 0);
    m.rotation(a, 1);
    ExpectVec(m.transformDirection(CVec(0, 0, 1)), std::sin(a), 0, std::cos(a), 0);
}

TEST(CMatrixTest, ProductAppliesTheRightFactorFirst) {
    CMatrix move, grow;
    move.translation(1, 2, 3);
    grow.scale(2, 3, 4);
    const CMatrix m = move * grow;
    ExpectVec(m.transformPoint(CVec(1, 1, 1)), 3, 5, 7, 0);
    ExpectVec(m.transformDirection(CVec(1, 1, 1)), 2, 3, 4, 0);
}
