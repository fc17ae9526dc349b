s : sort .
s : sort .
c : t .
p : s - -> pred DB .
