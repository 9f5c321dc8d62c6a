/* Resource ids of the sandbox build; read by the resource compiler too. */
#ifndef PYRAVEL_SANDBOX_RESOURCES_H
#define PYRAVEL_SANDBOX_RESOURCES_H

#define PYRAVEL_FIXTURE_RESOURCE 200

#endif
