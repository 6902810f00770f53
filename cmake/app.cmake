# The program itself: vortilo.exe and what tests its start-up code directly.
