#pragma once
// Makes the player's controls known to the layout reader: the list box, slider, tool button, radio group and check
// box. (A form makes the framework's own classes known when the first form is made.)
void RegisterControlsComponents();
