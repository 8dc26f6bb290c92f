#include "learning/player/controls/ZBPlayerLight.h"

namespace learning {

void ZBPlayerLight::setValue(float value) {
  if (value >= 0 && value <= 1) {
    value_ = value;
  }
}

}  // namespace learning
