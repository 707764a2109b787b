#include "domain/steps/StepTypes.h"

const StepType* findStepType(QStringView storedName)
{
    for (const StepType& type : StepTypes)
        if (storedName == type.name)
            return &type;
    return nullptr;
}
