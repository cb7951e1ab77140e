#include "swf/parse/matrix.h"

#include <cmath>

namespace swf {

Matrix Matrix::Compose(const Matrix& inner, const Matrix& outer) {
  return {
      outer.a * inner.a + outer.c * inner.b,
      outer.b * inner.a + outer.d * inner.b,
      outer.a * inner.c + outer.c * inner.d,
      outer.b * inner.c + outer.d * inner.d,
      outer.a * inner.tx + outer.c * inner.ty + outer.tx,
      outer.b * inner.tx + outer.d * inner.ty + outer.ty,
  };
}

std::optional<Matrix> Matrix::Inverse() const {
  const double det = Determinant();
  if (std::fabs(det) < 1e-12 || !std::isfinite(det)) return std::nullopt;
  const double ia = d / det;
  const double ib = -b / det;
  const double ic = -c / det;
  const double id = a / det;
  return Matrix{ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
}

}  // namespace swf
