# TS -- Zodarovu Timesheet

Proj.set {
	Directories {
		Character "character"
		JointParameter "joint"
		Motion "motion"
	}
	Pref {
		fts 6
		fps 24
		g_t 0.750000
	}
	Motion "walk.kmm"
	MotionController "Euler"
	CurveData "walk.kmc"
	JointParameter "walk.kjp"
	Character "my robot.kmd"
	Selection 3,42
}
